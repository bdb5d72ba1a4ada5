#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;

// The one door to message boxes. Tests switch it to scripted mode: every call is
// recorded and answered from a queue instead of opening a window; a question that has
// no scripted answer is a fault of the test and ends it loudly.
class MessageBoxes
{
public:
    enum class Kind { Error, Warning, Information, Question };

    struct Shown
    {
        Kind kind;
        QString text;
    };

    static void error(QWidget *parent, const QString &text);
    static void warning(QWidget *parent, const QString &text);
    static void information(QWidget *parent, const QString &text);
    // Yes/No; anything but Yes counts as No. A warning-styled question serves the
    // delete confirmations.
    static bool question(QWidget *parent, const QString &text, bool asWarning = false);

    // Scripted mode for tests.
    static void setScripted(bool scripted);
    static void setNextAnswer(bool yes);
    static QList<Shown> takeShown();

private:
    static bool record(Kind kind, const QString &text);
};
