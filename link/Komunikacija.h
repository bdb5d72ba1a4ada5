// Holds TLink71komunikacija, the client side of the command link.
#pragma once

#include "link/StringQueue.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

// Command frames as the communication server reads them: single spaces, no line end.
QString FrameRE(int port, int controller, int address);
QString FrameWE(int port, int controller, int address, quint16 value);
QString FrameST(int port, int controller);

// Frames taken off the head of the command queue to go out over one connection.
struct CommandBatch
{
    QString host;
    QStringList frames;
    // Which stop command the batch was taken after; a later stop discards it.
    std::uint64_t stopGeneration = 0;

    // The frames concatenated, exactly as they go on the wire.
    QString text() const { return frames.join(QString()); }
};

// The command queue with its lock, the stop flag and the hold-back of the sender.
// Every queued frame keeps the host it was queued for, so a batch never reaches another
// computer. All members are safe to call from either thread.
class TLink71komunikacija
{
public:
    static constexpr int MaxBatchFrames = 60;

    void Enqueue(const QString &host, const QString &frame);
    int Count() const;

    // The stop command: nothing is sent until ClearStop, every queued frame is dropped.
    void StopCommand();
    void ClearStop();
    bool IsStopped() const;

    // While held (counted, see SenderHold) the sender takes nothing off the queue.
    void Hold();
    void Release();

    // Wakes a sender that waits for work.
    void Wake();
    // Ends every wait for good; the sender leaves its loop.
    void Shutdown();
    bool IsShutDown() const;

    // Waits up to idle for frames to send, then takes up to MaxBatchFrames frames of the
    // head frame's host. Nothing while stopped, held, idle past the time or shut down.
    std::optional<CommandBatch> WaitForBatch(std::chrono::milliseconds idle);
    // Returns a batch that could not be sent to the head of the queue, unless a stop
    // command has discarded it meanwhile.
    void PutBack(const CommandBatch &batch);
    // Sleeps for the given time; only a stop command or the shutdown end it early.
    void WaitForRetry(std::chrono::milliseconds pause);

private:
    bool readyLocked() const;

    mutable std::mutex Lock; // the queue lock
    std::condition_variable Wakeup;
    TStringqueue Queue;      // the command queue: complete frames
    TStringqueue Hosts;      // the host of each frame in Queue, in the same order
    bool Stop = false;
    std::uint64_t StopGeneration = 0;
    int HoldCount = 0;
    bool ShutDown = false;
};
