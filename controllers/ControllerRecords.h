#pragma once

#include <QString>

class TdmGZ;

// The writes of the controllers catalogue and its touch contacts. Each runs in one
// transaction on connMain of TdmGZ; on failure everything is rolled back and DbError
// (with the driver's text) reaches the caller, which shows its own message.

// What the operator typed for a controller.
struct ControllerEntry
{
    QString id;
    QString name;
    QString type;
    QString computer;
    QString comPort;
};

// The warning for an entry that must not be saved, or an empty text. Blanks count as
// filled; the ID is decimal digits that fit the frames' number, the port "COM" and one
// or two digits, which is what the device table reads.
QString controllerEntryProblem(const ControllerEntry &entry);

inline const QString FieldsMissingText = QStringLiteral("Sva polja moraju biti popunjena.");
inline const QString IdNotNumberText =
    QStringLiteral("ID kontrolera mora biti broj, sastavljen samo od cifara (npr. 7).");
inline const QString ComPortInvalidText =
    QStringLiteral("COM port mora biti COM i broj od jedne ili dve cifre (npr. COM3).");

// Posts the pending record of qControllers (insert or edit, its fields already set) and
// gives the controller the touch contacts of its model, new ones in place of the old.
// previousId is the ID the record was read with (empty for a new controller): the
// contacts under it and under the new ID go, links and all, and each new contact takes
// over the access point of the old contact with the same number, so neither a save
// without changes nor a change of ID loses a link.
void SaveController(TdmGZ &gz, const QString &previousId);

// Deletes the focused controller of qControllers with its contacts and their links.
void DeleteController(TdmGZ &gz);

// The contact's one link: the existing one (if any) replaced by accessPoint.
void LinkContact(TdmGZ &gz, int contactId, const QString &accessPoint);
// Removes the contact's link; a contact without one is no error.
void UnlinkContact(TdmGZ &gz, int contactId);
