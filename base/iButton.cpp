#include "base/iButton.h"

EIButtonBadLength::EIButtonBadLength()
    : std::runtime_error("Bad MediaID length. Should be 14 or 16 characters.")
{
}

EConvertError::EConvertError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

quint8 dallasCrc8(const quint8 *bytes, int count)
{
    quint8 crc = 0;
    for (int i = 0; i < count; ++i) {
        quint8 byte = bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ byte) & 1) != 0;
            crc >>= 1;
            if (mix)
                crc ^= 0x8C;
            byte >>= 1;
        }
    }
    return crc;
}

quint8 MediaIDCRC(const QString &mediaId)
{
    const QString text = mediaId.toLower();
    if (text.size() != 14 && text.size() != 16)
        throw EIButtonBadLength();
    const int start = text.size() == 14 ? 0 : 2;

    // The text is most significant byte first; the 1-Wire order is the reverse.
    quint8 bytes[7];
    for (int k = 0; k < 7; ++k) {
        const QString pair = text.mid(start + 2 * k, 2);
        bool ok = false;
        const uint value = pair.toUInt(&ok, 16);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(pair));
        bytes[6 - k] = static_cast<quint8>(value);
    }
    return dallasCrc8(bytes, 7);
}

QString PinBearingMediaID(const QString &mediaId, const QString &pin)
{
    const QString body = pin + mediaId.mid(6, 10);
    return QString::asprintf("%.2X", MediaIDCRC(body)) + body;
}
