#include "widgets/MessageBoxes.h"

#include <QAbstractButton>
#include <QQueue>

namespace {

struct Script
{
    bool on = false;
    QQueue<bool> answers;
    QList<MessageBoxes::Shown> shown;
};

Script &script()
{
    static Script s;
    return s;
}

const QString kCaption = QStringLiteral("Dorvalen");

} // namespace

bool MessageBoxes::record(Kind kind, const QString &text)
{
    Script &s = script();
    s.shown.append({kind, text});
    if (kind != Kind::Question)
        return false;
    if (s.answers.isEmpty())
        qFatal("MessageBoxes: no scripted answer for the question \"%s\"", qPrintable(text));
    return s.answers.dequeue();
}

void MessageBoxes::error(QWidget *parent, const QString &text)
{
    if (script().on)
        record(Kind::Error, text);
    else
        QMessageBox::critical(parent, kCaption, text);
}

void MessageBoxes::warning(QWidget *parent, const QString &text)
{
    if (script().on)
        record(Kind::Warning, text);
    else
        QMessageBox::warning(parent, kCaption, text);
}

void MessageBoxes::information(QWidget *parent, const QString &text)
{
    if (script().on)
        record(Kind::Information, text);
    else
        QMessageBox::information(parent, kCaption, text);
}

bool MessageBoxes::question(QWidget *parent, const QString &text, bool asWarning)
{
    if (script().on)
        return record(Kind::Question, text);
    QMessageBox box(asWarning ? QMessageBox::Warning : QMessageBox::Question, kCaption, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    // The operator reads Serbian: the standard buttons speak it too.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Da"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Ne"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxes::setScripted(bool scripted)
{
    Script &s = script();
    s.on = scripted;
    s.answers.clear();
    s.shown.clear();
}

void MessageBoxes::setNextAnswer(bool yes)
{
    script().answers.enqueue(yes);
}

QList<MessageBoxes::Shown> MessageBoxes::takeShown()
{
    return std::exchange(script().shown, {});
}
