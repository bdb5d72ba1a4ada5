// Holds TStringqueue.
#pragma once

#include <QString>

#include <deque>

// An unbounded first-in-first-out queue of texts. It has no lock of its own: the command
// queue is shared between threads under the queue lock, the reply-token queue belongs to
// the user-interface thread.
class TStringqueue
{
public:
    int Count() const { return int(m_items.size()); }
    // The oldest text, or empty text when the queue is empty; the queue is unchanged.
    QString Peek() const;
    // The oldest text, removed; empty text and no change when the queue is empty.
    QString Pop();
    // Appends the text at the tail and returns it.
    QString Push(const QString &text);
    void Clear();

private:
    std::deque<QString> m_items;
};
