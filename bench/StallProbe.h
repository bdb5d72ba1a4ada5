#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// How long the user-interface thread stood still: the longest gap between two ticks of
// a 10 ms timer, less the 10 ms.
class StallProbe
{
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.elapsed();
            m_longest = std::max(m_longest, now - m_last - 10);
            m_last = now;
        });
    }
    void start()
    {
        m_longest = 0;
        m_last = 0;
        m_clock.start();
        m_timer.start();
    }
    // The longest stall since start().
    qint64 stop()
    {
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};
