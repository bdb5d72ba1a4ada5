#include "link/ReplyTokenizer.h"

namespace {

struct Token
{
    QString text;
    qsizetype begin = 0;
    qsizetype end = 0; // one past the last character in the source
    bool whole = true; // followed by a separator or the end of the connection
};

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'\r' || c == u'\n';
}

QList<Token> tokenize(const QString &text, bool atEnd)
{
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && isSeparator(text[i]))
            ++i;
        if (i == n)
            break;
        Token token;
        token.begin = i;
        QChar quote;
        while (i < n && (!quote.isNull() || !isSeparator(text[i]))) {
            const QChar c = text[i];
            if (quote.isNull() && (c == u'"' || c == u'\''))
                quote = c;
            else if (!quote.isNull() && c == quote)
                quote = QChar();
            else
                token.text.append(c);
            ++i;
        }
        token.end = i;
        token.whole = atEnd || (i < n && quote.isNull());
        tokens.append(token);
    }
    return tokens;
}

} // namespace

QStringList TokenizeReply(const QString &text)
{
    QStringList result;
    for (const Token &token : tokenize(text, true))
        result.append(token.text);
    return result;
}

int ReplyTokenCount(const QString &kind)
{
    if (kind == u"ST")
        return 3;
    if (kind == u"RE" || kind == u"WE")
        return 4;
    return 0;
}

ReplySplit SplitReplies(const QString &buffer, bool connectionEnded)
{
    const QList<Token> tokens = tokenize(buffer, connectionEnded);
    ReplySplit split;
    qsizetype first = 0;
    while (first < tokens.size() && tokens[first].whole) {
        const int wanted = ReplyTokenCount(tokens[first].text);
        qsizetype last = first; // one past the answer's last token
        bool complete = true;
        if (wanted > 0) {
            last = first + wanted;
            if (last > tokens.size() || !tokens[last - 1].whole) {
                if (!connectionEnded)
                    break;
                last = tokens.size();
                complete = false;
            }
        } else {
            last = first + 1;
            while (last < tokens.size() && ReplyTokenCount(tokens[last].text) == 0)
                ++last;
            // An unknown answer ends where a known kind begins; without one it can still grow.
            if (last == tokens.size() && !connectionEnded)
                break;
        }
        ReplyAnswer answer;
        answer.complete = complete;
        answer.text = buffer.mid(tokens[first].begin, tokens[last - 1].end - tokens[first].begin);
        for (qsizetype t = first; t < last; ++t)
            answer.tokens.append(tokens[t].text);
        split.answers.append(answer);
        split.consumed = tokens[last - 1].end;
        first = last;
    }
    return split;
}
