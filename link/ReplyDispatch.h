#pragma once

#include "link/ReplyConsumers.h"
#include "link/ReplyTokenizer.h"
#include "link/StringQueue.h"

#include <QObject>

// Hands every answer to the window that waits for its kind. User-interface thread only.
class ReplyDispatch : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // A window registers once; nullptr unregisters.
    void registerStatusWindow(StatusReplyConsumer *consumer) { m_status = consumer; }
    void registerTableReader(TableReaderReplyConsumer *consumer) { m_reader = consumer; }
    void registerWriteProgress(WriteProgressReplyConsumer *consumer) { m_progress = consumer; }

    // Logs the answer, queues its tokens and calls the consumers of its kind. Tokens that
    // no consumer takes are dropped, so the next answer starts at the head of the queue.
    void Dispatch(const ReplyAnswer &answer);

    // What a connection error does to the waiting windows: the write-progress window
    // closes, the table reader gives its buttons back.
    void CommErrorEffects();

    TStringqueue ReplyTokens;

signals:
    void logLine(const QString &line);

private:
    StatusReplyConsumer *m_status = nullptr;
    TableReaderReplyConsumer *m_reader = nullptr;
    WriteProgressReplyConsumer *m_progress = nullptr;
};
