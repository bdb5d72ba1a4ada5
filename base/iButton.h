// Holds the media-ID check byte and the PIN-bearing form.
#pragma once

#include <QString>

#include <stdexcept>

// A media ID whose length is neither 14 nor 16 characters.
class EIButtonBadLength : public std::runtime_error
{
public:
    EIButtonBadLength();
};

// A pair of characters that is not a hexadecimal number.
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(const QString &message);
};

// The Dallas/Maxim 1-Wire CRC-8 check byte of a media ID. A 16-character text carries
// its stored check byte in the first pair, which is skipped; a 14-character text is the
// code without it. Case does not matter.
quint8 MediaIDCRC(const QString &mediaId);

// The PIN-bearing form of a media ID: the new check byte in upper case, the PIN as
// entered (its letters keep their case), then characters 7 to 16 of the media ID.
// Raises EIButtonBadLength when the media ID is too short to give 10 characters.
QString PinBearingMediaID(const QString &mediaId, const QString &pin);

// The 1-Wire CRC-8 of raw bytes, in the order given.
quint8 dallasCrc8(const quint8 *bytes, int count);
