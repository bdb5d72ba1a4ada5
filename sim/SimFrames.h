#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// One command frame as the simulated server understands it.
struct SimFrame
{
    enum class Command { Read, Write, Status };

    int port = 0;
    int controller = 0;
    Command command = Command::Status;
    int address = 0;
    int value = 0;
};

// Takes every complete frame ("BrMk" .. "BMEnd") off the front of a connection's stream.
// Text outside frames is dropped; an unfinished frame stays in the buffer.
QList<QByteArray> TakeFrames(QByteArray &buffer);

// The fields of one frame, or nothing when it does not follow the grammar.
std::optional<SimFrame> ParseFrame(const QByteArray &frame);
