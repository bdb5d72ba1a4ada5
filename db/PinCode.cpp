#include "db/PinCode.h"

#include "db/DbConnection.h"
#include "db/uDMGZ.h"
#include "base/iButton.h"

#include <stdexcept>

namespace {

bool isValidPin(const QString &pin)
{
    if (pin.size() != 4)
        return false;
    for (QChar c : pin) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

void rebuildPinBearingMediaID(NamedQuery &qAction, const QString &personID, const QString &pin)
{
    qAction.setText(QStringLiteral("SELECT IDNo FROM viewMediaIDActive where IDZaposlenog = :IDZaposlenog"));
    qAction.setParameter(QStringLiteral("IDZaposlenog"), personID);
    qAction.open();
    if (qAction.rowCount() != 1) {
        qAction.close();
        return;
    }
    const QString mediaId = qAction.asString(QStringLiteral("IDNo"));
    qAction.close();
    const QString pinBearing = pin.isEmpty() ? QString() : PinBearingMediaID(mediaId, pin);
    qAction.setText(QStringLiteral("UPDATE Zaposleni_IDMemorija SET IDNoSaPinKodom = :IDNoSaPinKodom "
                                   "WHERE IDZaposlenog = :IDZaposlenog AND IDNo = :IDNo"));
    // An empty PIN clears the form: empty text, as before, never NULL.
    qAction.setParameter(QStringLiteral("IDNoSaPinKodom"), pinBearing.isNull() ? QStringLiteral("") : pinBearing);
    qAction.setParameter(QStringLiteral("IDZaposlenog"), personID);
    qAction.setParameter(QStringLiteral("IDNo"), mediaId);
    qAction.execute();
}

} // namespace

int SavePinCode(TdmGZ &dmGZ, const QString &personID, const QString &pin, bool savePin, bool rebuildMediaID)
{
    if (!pin.isEmpty() && !isValidPin(pin))
        return PinInvalid;
    NamedQuery &qAction = *dmGZ.qAction;
    try {
        dmGZ.connMain->transaction([&] {
            if (savePin) {
                qAction.setText(QStringLiteral("UPDATE Zaposleni SET PinKod = :PinKod WHERE IDZaposlenog = :IDZaposlenog"));
                qAction.setParameter(QStringLiteral("PinKod"), pin.isNull() ? QStringLiteral("") : pin);
                qAction.setParameter(QStringLiteral("IDZaposlenog"), personID);
                qAction.execute();
            }
            if (rebuildMediaID)
                rebuildPinBearingMediaID(qAction, personID, pin);
        });
        return PinSaved;
    } catch (const std::exception &) {
        // DbError, a media ID too short for the PIN-bearing form, or not hexadecimal.
        qAction.close();
        return PinNotSaved;
    }
}

QString FindPersonByMediaID(TdmGZ &dmGZ, const QString &mediaID)
{
    NamedQuery &qAction = *dmGZ.qAction;
    QString result;
    try {
        qAction.setText(QStringLiteral("select IDZaposlenog + ' ' + Prezime + ' ' + Ime as zaposleni from "
                                       "viewMediaIDActive where IDNo = :IDNo"));
        qAction.setParameter(QStringLiteral("IDNo"), mediaID);
        qAction.open();
        if (!qAction.isEmpty())
            result = qAction.asString(QStringLiteral("zaposleni"));
        qAction.close();
    } catch (const std::exception &) {
        qAction.close();
        result.clear();
    }
    return result;
}
