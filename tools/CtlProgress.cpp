#include "tools/CtlProgress.h"

#include "link/ControllerJob.h"
#include "link/TDevice.h"

namespace {

constexpr int RefreshMs = 200;

} // namespace

CtlProgress::CtlProgress(std::FILE *stream, int controllers, bool enabled)
    : m_stream(stream), m_total(controllers), m_enabled(enabled)
{
}

CtlProgress::~CtlProgress()
{
    clear();
}

QString CtlProgress::Line(int done, int total, const QList<const ControllerJob *> &running)
{
    QStringList parts;
    for (const ControllerJob *job : running) {
        const int stepSlots = job->stepSlots();
        if (stepSlots == 0) {
            parts.append(QStringLiteral("%1: čeka odgovor").arg(job->device().ID));
            continue;
        }
        const int expected = std::max(1, job->stepExpected());
        parts.append(QStringLiteral("%1: %2/%3 slotova")
                         .arg(job->device().ID)
                         .arg(job->stepAnswered() * stepSlots / expected)
                         .arg(stepSlots));
    }
    QString line = QStringLiteral("Gotovo %1 od %2 kontrolera").arg(done).arg(total);
    if (!parts.isEmpty())
        line += QStringLiteral(" | ") + parts.join(QStringLiteral(", "));
    return line;
}

void CtlProgress::started(const ControllerJob *job)
{
    m_running.append(job);
    show(true);
}

void CtlProgress::advanced(const ControllerJob *)
{
    show(false);
}

void CtlProgress::finished(const ControllerJob *job)
{
    m_running.removeAll(job);
    ++m_done;
    show(true);
}

void CtlProgress::show(bool force)
{
    if (!m_enabled || (!force && m_lastShown.isValid() && m_lastShown.elapsed() < RefreshMs))
        return;
    m_lastShown.start();
    const QByteArray text = Line(m_done, m_total, m_running).toUtf8();
    // Spaces cover what a longer line before left.
    const int pad = std::max(0, m_shownWidth - int(text.size()));
    std::fprintf(m_stream, "\r%s%*s", text.constData(), pad, "");
    std::fflush(m_stream);
    m_shownWidth = int(text.size());
}

void CtlProgress::clear()
{
    if (!m_enabled || m_shownWidth == 0)
        return;
    std::fprintf(m_stream, "\r%*s\r", m_shownWidth, "");
    std::fflush(m_stream);
    m_shownWidth = 0;
}
