#include "link/Komunikacija.h"

QString FrameRE(int port, int controller, int address)
{
    return QString::asprintf("BrMk 1 %.7d Do71 %d %d RE %d BMEnd", 0, port, controller, address);
}

QString FrameWE(int port, int controller, int address, quint16 value)
{
    return QString::asprintf("BrMk 1 %.7d Do71 %d %d WE %d %d BMEnd", 0, port, controller, address,
                             int(value));
}

QString FrameST(int port, int controller)
{
    return QString::asprintf("BrMk 1 %.7d Do71 %d %d ST BMEnd", 0, port, controller);
}

void TLink71komunikacija::Enqueue(const QString &host, const QString &frame)
{
    {
        std::lock_guard guard(Lock);
        Queue.Push(frame);
        Hosts.Push(host);
    }
    Wakeup.notify_all();
}

int TLink71komunikacija::Count() const
{
    std::lock_guard guard(Lock);
    return Queue.Count();
}

void TLink71komunikacija::StopCommand()
{
    {
        std::lock_guard guard(Lock);
        Stop = true;
        ++StopGeneration;
        Queue.Clear();
        Hosts.Clear();
    }
    Wakeup.notify_all();
}

void TLink71komunikacija::ClearStop()
{
    {
        std::lock_guard guard(Lock);
        Stop = false;
    }
    Wakeup.notify_all();
}

bool TLink71komunikacija::IsStopped() const
{
    std::lock_guard guard(Lock);
    return Stop;
}

void TLink71komunikacija::Hold()
{
    std::lock_guard guard(Lock);
    ++HoldCount;
}

void TLink71komunikacija::Release()
{
    {
        std::lock_guard guard(Lock);
        --HoldCount;
    }
    Wakeup.notify_all();
}

void TLink71komunikacija::Wake()
{
    Wakeup.notify_all();
}

void TLink71komunikacija::Shutdown()
{
    {
        std::lock_guard guard(Lock);
        ShutDown = true;
    }
    Wakeup.notify_all();
}

bool TLink71komunikacija::IsShutDown() const
{
    std::lock_guard guard(Lock);
    return ShutDown;
}

bool TLink71komunikacija::readyLocked() const
{
    return Queue.Count() > 0 && !Stop && HoldCount == 0;
}

std::optional<CommandBatch> TLink71komunikacija::WaitForBatch(std::chrono::milliseconds idle)
{
    std::unique_lock guard(Lock);
    if (!Wakeup.wait_for(guard, idle, [this] { return ShutDown || readyLocked(); }) || ShutDown)
        return std::nullopt;

    CommandBatch batch;
    batch.host = Hosts.Peek();
    batch.stopGeneration = StopGeneration;
    while (batch.frames.size() < MaxBatchFrames && Queue.Count() > 0 && Hosts.Peek() == batch.host) {
        Hosts.Pop();
        batch.frames.append(Queue.Pop());
    }
    return batch;
}

void TLink71komunikacija::PutBack(const CommandBatch &batch)
{
    std::lock_guard guard(Lock);
    if (batch.stopGeneration != StopGeneration)
        return;
    TStringqueue frames;
    TStringqueue hosts;
    for (const QString &frame : batch.frames) {
        frames.Push(frame);
        hosts.Push(batch.host);
    }
    while (Queue.Count() > 0) {
        frames.Push(Queue.Pop());
        hosts.Push(Hosts.Pop());
    }
    Queue = std::move(frames);
    Hosts = std::move(hosts);
}

void TLink71komunikacija::WaitForRetry(std::chrono::milliseconds pause)
{
    std::unique_lock guard(Lock);
    const std::uint64_t generation = StopGeneration;
    Wakeup.wait_for(guard, pause, [&] { return ShutDown || StopGeneration != generation; });
}
