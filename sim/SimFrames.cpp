#include "sim/SimFrames.h"

namespace {

const QByteArray Start = "BrMk";
const QByteArray End = "BMEnd";

bool toInt(const QByteArray &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

} // namespace

QList<QByteArray> TakeFrames(QByteArray &buffer)
{
    QList<QByteArray> frames;
    for (;;) {
        qsizetype start = buffer.indexOf(Start);
        if (start < 0) {
            // Keep what could be the beginning of a start token cut by the connection.
            buffer = buffer.right(Start.size() - 1);
            return frames;
        }
        const qsizetype end = buffer.indexOf(End, start);
        if (end < 0) {
            buffer.remove(0, start);
            return frames;
        }
        // A frame cut short is followed by a new start token: the frame is the last one.
        start = buffer.lastIndexOf(Start, end);
        frames.append(buffer.mid(start, end + End.size() - start));
        buffer.remove(0, end + End.size());
    }
}

std::optional<SimFrame> ParseFrame(const QByteArray &frame)
{
    const QList<QByteArray> fields = frame.simplified().split(' ');
    if (fields.size() < 8 || fields[0] != Start || fields[1] != "1" || fields[2].size() < 7
        || fields[3] != "Do71" || fields.last() != End)
        return std::nullopt;
    SimFrame parsed;
    if (!toInt(fields[4], parsed.port) || !toInt(fields[5], parsed.controller))
        return std::nullopt;
    const QByteArray &command = fields[6];
    if (command == "ST" && fields.size() == 8) {
        parsed.command = SimFrame::Command::Status;
    } else if (command == "RE" && fields.size() == 9 && toInt(fields[7], parsed.address)) {
        parsed.command = SimFrame::Command::Read;
    } else if (command == "WE" && fields.size() == 10 && toInt(fields[7], parsed.address)
               && toInt(fields[8], parsed.value) && parsed.value >= 0 && parsed.value <= 0xFFFF) {
        parsed.command = SimFrame::Command::Write;
    } else {
        return std::nullopt;
    }
    return parsed;
}
