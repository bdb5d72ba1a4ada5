#pragma once

#include "link/Komunikacija.h"
#include "link/TDevice.h"
#include "sim/SimFrames.h"

#include <QHash>
#include <QStringList>

// A controller's memory answering frames as the communication server would: "RE"/"WE"
// with the port as second token, "ST" with port and controller. Words it was told to
// keep do not change when written.
class FakeMemory
{
public:
    quint16 word(int address) const { return m_words.value(address, TDevice::EmptyWord); }
    void setWord(int address, quint16 value) { m_words.insert(address, value); }
    void keep(int address) { m_kept.append(address); }

    // Stores a media ID into the row's four controller addresses.
    void setRow(const TDevice &device, int row, const QString &mediaId)
    {
        for (int w = 0; w < TDevice::WordsPerSlot; ++w)
            setWord(device.ControllerAddress(device.RowIndex(row) + w), quint16(mediaId.mid(4 * w, 4).toUInt(nullptr, 16)));
    }

    QStringList answer(const QString &frameText)
    {
        const std::optional<SimFrame> frame = ParseFrame(frameText.toLatin1());
        if (!frame)
            return {};
        const QString port = QString::number(frame->port);
        switch (frame->command) {
        case SimFrame::Command::Status:
            return {"ST", port, QString::number(frame->controller)};
        case SimFrame::Command::Write:
            if (!m_kept.contains(frame->address))
                setWord(frame->address, quint16(frame->value));
            return {"WE", port, QString::number(frame->address), QString::number(word(frame->address))};
        case SimFrame::Command::Read:
            return {"RE", port, QString::number(frame->address), QString::number(word(frame->address))};
        }
        return {};
    }

private:
    QHash<int, quint16> m_words;
    QList<int> m_kept;
};

// Media IDs of 16 hexadecimal digits for fixtures: "0000000000000001" and onward, with
// the given leading digit.
inline QString mediaId(int n, char lead = 'A')
{
    return QString(QLatin1Char(lead)) + QStringLiteral("%1").arg(n, 15, 16, QLatin1Char('0')).toUpper();
}
