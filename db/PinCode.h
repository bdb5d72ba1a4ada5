#pragma once

#include <QString>

class TdmGZ;

// Results of SavePinCode.
enum PinCodeResult {
    PinSaved = 0,      // done, the transaction committed
    PinInvalid = 1,    // the PIN is neither empty nor 4 hexadecimal characters; nothing done
    PinNotSaved = 2,   // a database or conversion error; the transaction was rolled back
};

// Stores a person's PIN and/or rebuilds the PIN-bearing form of the person's active
// media ID, in one transaction on dmGZ's connection. With both flags false it only
// validates the PIN. The PIN-bearing form is rebuilt only when the person holds exactly
// one active media ID; an empty PIN clears it.
int SavePinCode(TdmGZ &dmGZ, const QString &personID, const QString &pin, bool savePin, bool rebuildMediaID);

// "ID Prezime Ime" of the person who holds the active media ID, or empty text, also on
// any error.
QString FindPersonByMediaID(TdmGZ &dmGZ, const QString &mediaID);
