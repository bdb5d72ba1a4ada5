#include "link/StringQueue.h"

QString TStringqueue::Peek() const
{
    return m_items.empty() ? QString() : m_items.front();
}

QString TStringqueue::Pop()
{
    if (m_items.empty())
        return {};
    QString text = std::move(m_items.front());
    m_items.pop_front();
    return text;
}

QString TStringqueue::Push(const QString &text)
{
    m_items.push_back(text);
    return text;
}

void TStringqueue::Clear()
{
    m_items.clear();
}
