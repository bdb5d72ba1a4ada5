#include "link/ControllerJob.h"

#include "link/Komunikacija.h"
#include "link/TDevice.h"

namespace {

using Result = ControllerOutcome::Result;

bool slotEmpty(const TImage &image, int first)
{
    for (int w = 0; w < TDevice::WordsPerSlot; ++w) {
        if (image[size_t(first + w)] != TDevice::EmptyWord)
            return false;
    }
    return true;
}

QList<int> wordsOfRows(const TDevice &device, const QList<int> &rows)
{
    QList<int> indexes;
    for (int row : rows) {
        for (int w = 0; w < TDevice::WordsPerSlot; ++w)
            indexes.append(device.RowIndex(row) + w);
    }
    return indexes;
}

} // namespace

ControllerJob::ControllerJob(TDevice &device, SyncCommand command)
    : m_device(device), m_command(command), m_waiting(size_t(TDevice::ImageWords), false)
{
}

QList<int> ControllerJob::FullWriteIndexes(const TDevice &device)
{
    QList<int> indexes;
    for (int i = device.TableBegin(); i < device.TableEnd(); ++i) {
        if (i % TDevice::WordsPerSlot == 0 && slotEmpty(device.DBImage, i))
            i += TDevice::WordsPerSlot - 1;
        indexes.append(i);
    }
    return indexes;
}

QStringList ControllerJob::start()
{
    m_clock.start();
    bool isNumber = false;
    m_controller = m_device.ID.toInt(&isNumber);
    if (!isNumber)
        return finish(Result::BadId);
    switch (m_command) {
    case SyncCommand::Status:
        return begin(Step::Status, {});
    case SyncCommand::Verify:
    case SyncCommand::WriteDifferences: {
        if (m_device.Capacity == 0)
            return finish(Result::NoTable);
        QList<int> table;
        for (int i = m_device.TableBegin(); i < m_device.TableEnd(); ++i)
            table.append(i);
        return begin(Step::Read, table);
    }
    case SyncCommand::Write:
        if (m_device.Capacity == 0)
            return finish(Result::NoTable);
        m_outcome.slotsWritten = m_device.Capacity;
        return begin(Step::Write, FullWriteIndexes(m_device));
    }
    return finish(Result::NoTable);
}

QStringList ControllerJob::begin(Step step, const QList<int> &indexes)
{
    m_step = step;
    m_running = true;
    QStringList frames;
    const int port = m_device.PortNum;
    if (step == Step::Status) {
        frames.append(FrameST(port, m_controller));
        m_expected = m_pending = 1;
    } else {
        for (int i : indexes) {
            const int address = m_device.ControllerAddress(i);
            frames.append(step == Step::Read ? FrameRE(port, m_controller, address)
                                             : FrameWE(port, m_controller, address, m_device.DBImage[size_t(i)]));
            m_waiting[size_t(i)] = true;
        }
        m_expected = m_pending = int(indexes.size());
        // The write to all sends one word of an empty slot; every other step four a slot.
        m_stepSlots = m_command == SyncCommand::Write ? m_device.Capacity : m_expected / TDevice::WordsPerSlot;
        if (step == Step::Write)
            m_outcome.wordsWritten += m_expected;
    }
    m_outcome.framesSent += int(frames.size());
    m_outcome.expected = m_expected;
    m_outcome.answered = 0;
    return frames;
}

QStringList ControllerJob::finish(Result result)
{
    m_running = false;
    m_finished = true;
    m_outcome.result = result;
    m_outcome.elapsedMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    return {};
}

bool ControllerJob::take(const QStringList &tokens)
{
    if (!m_running || m_pending == 0)
        return false;
    const bool taken = m_step == Step::Status ? takeStatus(tokens) : takeWord(tokens);
    if (taken) {
        ++m_outcome.answers;
        m_outcome.answered = stepAnswered();
    }
    return taken;
}

bool ControllerJob::takeStatus(const QStringList &tokens)
{
    if (tokens.size() != 3 || tokens[0] != u"ST")
        return false;
    m_outcome.statusText = tokens.join(u' ');
    m_pending = 0;
    return true;
}

bool ControllerJob::takeWord(const QStringList &tokens)
{
    const QLatin1String kind = m_step == Step::Read ? QLatin1String("RE") : QLatin1String("WE");
    if (tokens.size() != 4 || tokens[0] != kind)
        return false;
    bool addressOk = false;
    bool valueOk = false;
    const int address = tokens[2].toInt(&addressOk);
    const uint value = tokens[3].toUInt(&valueOk);
    if (!addressOk || !valueOk || value > 0xFFFF)
        return false;
    const std::optional<int> index = m_device.ImageIndex(address);
    if (!index || !m_waiting[size_t(*index)])
        return false;
    m_waiting[size_t(*index)] = false;
    --m_pending;
    m_device.CtrlImage[size_t(*index)] = quint16(value);
    if (m_step == Step::Write && value != m_device.DBImage[size_t(*index)])
        ++m_outcome.wordsNotHeld;
    return true;
}

QStringList ControllerJob::advance()
{
    if (!stepComplete())
        return {};
    m_running = false;
    switch (m_step) {
    case Step::Status:
        return finish(Result::Ok);
    case Step::Write:
        if (m_command == SyncCommand::WriteDifferences)
            return begin(Step::Read, wordsOfRows(m_device, m_rewritten));
        return finish(m_outcome.wordsNotHeld == 0 ? Result::Ok : Result::Differs);
    case Step::Read:
        return afterRead();
    }
    return finish(Result::Ok);
}

QStringList ControllerJob::afterRead()
{
    ++m_readsDone;
    if (m_readsDone == 1) {
        m_outcome.comparison = CompareTables(m_device);
        if (m_command == SyncCommand::Verify || m_outcome.comparison->clean())
            return finish(m_outcome.comparison->clean() ? Result::Ok : Result::Differs);
        for (const SlotDifference &d : m_outcome.comparison->differences)
            m_rewritten.append(d.row);
        m_outcome.slotsWritten = int(m_rewritten.size());
        return begin(Step::Write, wordsOfRows(m_device, m_rewritten));
    }
    // The delta write's read-back of the slots it wrote.
    m_outcome.confirmation = CompareTableRows(m_device, m_rewritten);
    return finish(m_outcome.confirmation->clean() && m_outcome.wordsNotHeld == 0 ? Result::Ok : Result::Differs);
}

void ControllerJob::stop(Result reason)
{
    if (m_finished)
        return;
    for (size_t i = 0; i < m_waiting.size(); ++i)
        m_waiting[i] = false;
    if (reason == Result::NoAnswer && m_outcome.answers > 0)
        reason = Result::Incomplete;
    finish(reason);
}
