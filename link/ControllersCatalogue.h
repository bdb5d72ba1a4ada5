#pragma once

#include <QString>

#include <functional>

class NamedQuery;
class SettingsStore;
class TDeviceTable;

// What the rebuild of the device table from the catalogue has to tell the operator.
struct CatalogueTransferResult
{
    // The registry was rewritten and the table reloaded from it.
    bool saved = false;
    // Nothing was changed: neither the table nor the registry.
    QString error;
    // The table was rebuilt, but not with every controller of the catalogue.
    QString warning;
};

// Rebuilds the device table from the controllers catalogue (qControllers of TdmGZ): row
// k becomes slot k, the port is the number after "COM". The new table is saved to the
// registry and loaded back from it. A port that is not "COM" and one or two digits, or
// a failing database, leaves table and registry as they were. The query is left open
// or closed as it was found.
CatalogueTransferResult TransferFromDB2Registry(TDeviceTable &table, NamedQuery &qControllers,
                                                SettingsStore &registry);

inline const QString CatalogueReadErrorText = QStringLiteral("Greška pri čitanju kontrolera iz baze.");

// The check before the status window, the table reader and the write to all controllers:
// false, after showing the message through error, when the catalogue has no controller
// or cannot be read. The query is left open or closed as it was found.
inline const QString NoControllersText = QStringLiteral("Nema konfigurisanih kontrolera.");
bool ControllersConfigured(NamedQuery &qControllers, const std::function<void(const QString &)> &error);

// "Upiši u kontrolere": the catalogue check, then the operator's confirmation.
inline const QString WriteAllQuestionText =
    QStringLiteral("Jeste li sigurni da želite da izvršite upis podataka u sve kontrolere?");
bool ConfirmWriteToAllControllers(NamedQuery &qControllers, const std::function<void(const QString &)> &error,
                                  const std::function<bool(const QString &)> &question);
