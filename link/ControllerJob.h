#pragma once

#include "link/TableComparison.h"

#include <QElapsedTimer>
#include <QStringList>

#include <optional>
#include <vector>

class TDevice;

// What the headless sync does with each controller.
enum class SyncCommand {
    Status,           // ask for the status
    Verify,           // read the whole table and compare it with the database image
    Write,            // write the database image as the write to all controllers does
    WriteDifferences, // read, write only the slots that differ, read those back
};

// How one controller's work ended.
struct ControllerOutcome
{
    enum class Result {
        Ok,              // answered; the table holds what the database says
        Differs,         // answered; slots differ, or a written word was not held
        NoAnswer,        // nothing came within the time-out
        Incomplete,      // some answers came, then none within the time-out
        Unreachable,     // the communication server did not take the frames
        UnknownComputer, // the computer's name gives no address
        NoTable,         // a type without a memory table: nothing to read or write
        BadId,           // the controller ID is not a number, so no frame can name it
    };

    Result result = Result::NoAnswer;
    QString statusText;          // status: the answer's three tokens
    int framesSent = 0;
    int answers = 0;             // answers taken, over all steps
    int expected = 0;            // answers the last step waited for
    int answered = 0;            // of which came
    // The comparison of the whole table read (verify, and the delta write's first read).
    std::optional<TableComparison> comparison;
    int slotsWritten = 0;
    int wordsWritten = 0;
    // "WE" answers that report another word than the one written.
    int wordsNotHeld = 0;
    // The delta write: the written slots as read back.
    std::optional<TableComparison> confirmation;
    qint64 elapsedMs = 0;

    // Answered in full; the controller may still differ.
    bool answeredFully() const { return result == Result::Ok || result == Result::Differs; }
};

// One controller's work as steps of frames and the answers each step waits for. Knows
// nothing of the network: the computer's channel sends the frames and hands the answers
// of this computer in. The device's controller image receives what the answers report.
class ControllerJob
{
public:
    ControllerJob(TDevice &device, SyncCommand command);

    TDevice &device() const { return m_device; }
    SyncCommand command() const { return m_command; }

    // The frames of the first step; none when the job is finished at once (no table, an
    // ID that is no number).
    QStringList start();
    // Takes one answer if the current step waits for it; false for any other answer.
    bool take(const QStringList &tokens);
    bool stepComplete() const { return m_running && m_pending == 0; }
    // After a complete step: the frames of the next one, or none when the job is finished.
    QStringList advance();
    // Ends the job early: the time-out ran out or the frames could not be delivered.
    void stop(ControllerOutcome::Result reason);

    bool finished() const { return m_finished; }
    const ControllerOutcome &outcome() const { return m_outcome; }
    // Progress of the current step.
    int stepExpected() const { return m_expected; }
    int stepAnswered() const { return m_expected - m_pending; }
    // The table slots the current step covers; 0 for the status.
    int stepSlots() const { return m_stepSlots; }

    // The image indexes the write to all controllers sends: every word of the table,
    // but of an empty slot only its last word.
    static QList<int> FullWriteIndexes(const TDevice &device);

private:
    enum class Step { Status, Read, Write };

    QStringList begin(Step step, const QList<int> &indexes);
    QStringList finish(ControllerOutcome::Result result);
    bool takeStatus(const QStringList &tokens);
    bool takeWord(const QStringList &tokens);
    QStringList afterRead();

    TDevice &m_device;
    const SyncCommand m_command;
    int m_controller = 0;
    Step m_step = Step::Status;
    int m_readsDone = 0;
    QList<int> m_rewritten; // rows the delta write sends
    std::vector<bool> m_waiting; // per image index: its answer is awaited
    int m_pending = 0;
    int m_expected = 0;
    int m_stepSlots = 0;
    bool m_running = false;
    bool m_finished = false;
    QElapsedTimer m_clock;
    ControllerOutcome m_outcome;
};
