#include "db/PinCode.h"

#include "db/SqlText.h"
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
    qAction.setText(QStringLiteral("SELECT IDNo FROM viewMediaIDActive where IDZaposlenog = '")
                    + SqlText::escaped(personID) + QStringLiteral("'"));
    qAction.open();
    if (qAction.rowCount() != 1) {
        qAction.close();
        return;
    }
    const QString mediaId = qAction.asString(QStringLiteral("IDNo"));
    qAction.close();
    const QString pinBearing = pin.isEmpty() ? QString() : PinBearingMediaID(mediaId, pin);
    qAction.setText(QStringLiteral("UPDATE Zaposleni_IDMemorija SET IDNoSaPinKodom = '") + SqlText::escaped(pinBearing)
                    + QStringLiteral("'") + QStringLiteral("WHERE IDZaposlenog = '") + SqlText::escaped(personID)
                    + QStringLiteral("' AND IDNo = '") + SqlText::escaped(mediaId) + QStringLiteral("'"));
    qAction.execute();
}

} // namespace

int SavePinCode(TdmGZ &dmGZ, const QString &personID, const QString &pin, bool savePin, bool rebuildMediaID)
{
    if (!pin.isEmpty() && !isValidPin(pin))
        return PinInvalid;
    NamedQuery &qAction = *dmGZ.qAction;
    try {
        dmGZ.connMain->beginTransaction();
        if (savePin) {
            qAction.setText(QStringLiteral("UPDATE Zaposleni SET PinKod = '") + SqlText::escaped(pin)
                            + QStringLiteral("' ") + QStringLiteral("WHERE IDZaposlenog = '")
                            + SqlText::escaped(personID) + QStringLiteral("'"));
            qAction.execute();
        }
        if (rebuildMediaID)
            rebuildPinBearingMediaID(qAction, personID, pin);
        dmGZ.connMain->commit();
        return PinSaved;
    } catch (const std::exception &) {
        // DbError, a media ID too short for the PIN-bearing form, or not hexadecimal.
        qAction.close();
        dmGZ.connMain->rollback();
        return PinNotSaved;
    }
}

QString FindPersonByMediaID(TdmGZ &dmGZ, const QString &mediaID)
{
    NamedQuery &qAction = *dmGZ.qAction;
    QString result;
    try {
        qAction.setText(QStringLiteral("select IDZaposlenog + ' ' + Prezime + ' ' + Ime as zaposleni from "
                                       "viewMediaIDActive where IDNo = '")
                        + SqlText::escaped(mediaID) + QStringLiteral("'"));
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
