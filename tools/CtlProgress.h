#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <cstdio>

class ControllerJob;

// The progress line on a terminal: how many controllers are done of how many, and for
// each one being worked on, how far its current step has come in slots. Rewritten in
// place at most a few times a second; nothing at all when the stream is no terminal.
class CtlProgress
{
public:
    CtlProgress(std::FILE *stream, int controllers, bool enabled);
    ~CtlProgress();

    void started(const ControllerJob *job);
    void advanced(const ControllerJob *job);
    void finished(const ControllerJob *job);
    // Removes the line, so that the report starts on a clean line.
    void clear();

    // "Gotovo 2 od 20 kontrolera | 12: 85/252 slotova, 17: 4/252 slotova".
    static QString Line(int done, int total, const QList<const ControllerJob *> &running);

private:
    void show(bool force);

    std::FILE *const m_stream;
    const int m_total;
    const bool m_enabled;
    int m_done = 0;
    QList<const ControllerJob *> m_running;
    QElapsedTimer m_lastShown;
    int m_shownWidth = 0;
};
