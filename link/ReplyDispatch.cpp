#include "link/ReplyDispatch.h"

void ReplyDispatch::Dispatch(const ReplyAnswer &answer)
{
    emit logLine(QStringLiteral("Link71 je poslao sledeći tekst: ") + answer.text);
    if (!answer.complete)
        return;
    for (const QString &token : answer.tokens)
        ReplyTokens.Push(token);

    const QString kind = answer.tokens.value(0);
    if (kind == u"ST") {
        if (m_status)
            m_status->callback(ReplyTokens);
    } else if (kind == u"RE") {
        if (m_reader)
            m_reader->callbackcitanje(ReplyTokens);
    } else if (kind == u"WE") {
        if (m_reader && m_reader->isShown())
            m_reader->callbackpisanje(ReplyTokens);
        if (m_progress && m_progress->isActive())
            m_progress->callbackupis(ReplyTokens);
    }
    ReplyTokens.Clear();
}

void ReplyDispatch::CommErrorEffects()
{
    if (m_progress && m_progress->isActive())
        m_progress->closeOnCommError();
    if (m_reader && m_reader->isShown())
        m_reader->ZasiviDugmad(false);
}
