#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The tokens of an answer text: split at spaces and line breaks, empty tokens dropped, a
// part enclosed in single or double quotes kept whole (without its quotes).
QStringList TokenizeReply(const QString &text);

// One answer of the communication server, as its text arrived and as tokens.
struct ReplyAnswer
{
    QString text;
    QStringList tokens;
    // False for a known kind cut short by the end of the connection.
    bool complete = true;
};

struct ReplySplit
{
    QList<ReplyAnswer> answers;
    // How many characters of the buffer the answers used; the rest waits for more text.
    qsizetype consumed = 0;
};

// The number of tokens of an answer of the given kind, or 0 for an unknown kind.
int ReplyTokenCount(const QString &kind);

// Splits the text received on one connection into answers. "ST" answers have 3 tokens,
// "RE" and "WE" 4; an unknown kind runs up to the next known kind. Unless the connection
// has ended, an answer is taken only when the text shows that its last token is whole.
ReplySplit SplitReplies(const QString &buffer, bool connectionEnded);
