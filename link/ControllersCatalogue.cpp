#include "link/ControllersCatalogue.h"

#include "base/SettingsStore.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "link/DeviceTable.h"

#include <QRegularExpression>

namespace {

// Reads the whole catalogue, reopening it to see the current rows, and puts the query
// back in the state it was found in.
class CatalogueReading
{
public:
    explicit CatalogueReading(NamedQuery &q) : m_q(q), m_wasActive(q.isActive())
    {
        if (m_wasActive)
            m_q.requery();
        else
            m_q.open();
    }
    ~CatalogueReading()
    {
        if (!m_wasActive)
            m_q.close();
    }
    CatalogueReading(const CatalogueReading &) = delete;
    CatalogueReading &operator=(const CatalogueReading &) = delete;

    QString text(int row, const QString &field) const
    {
        const int column = m_q.fieldIndex(field);
        return column < 0 ? QString() : m_q.cell(row, column).toString();
    }

private:
    NamedQuery &m_q;
    const bool m_wasActive;
};

// "COM3" gives 3, "COM12" gives 12.
std::optional<int> comPortNumber(const QString &comPort)
{
    static const QRegularExpression com(QStringLiteral("^COM(\\d{1,2})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(comPort);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

} // namespace

CatalogueTransferResult TransferFromDB2Registry(TDeviceTable &table, NamedQuery &qControllers,
                                                SettingsStore &registry)
{
    CatalogueTransferResult result;
    TDeviceTable fresh;
    try {
        const CatalogueReading catalogue(qControllers);
        const int rows = qControllers.rowCount();
        const int kept = std::min(rows, int(TDeviceTable::Slots));
        for (int k = 0; k < kept; ++k) {
            const QString id = catalogue.text(k, QStringLiteral("IDKontrolera"));
            const QString name = catalogue.text(k, QStringLiteral("Naziv"));
            const QString comPort = catalogue.text(k, QStringLiteral("ComPort"));
            const std::optional<int> port = comPortNumber(comPort);
            if (!port) {
                result.error = QStringLiteral("Kontroler %1 (%2) ima neispravan COM port \"%3\"; očekuje se COM i "
                                              "broj od jedne ili dve cifre, npr. COM3. Tabela uređaja nije "
                                              "promenjena.")
                                   .arg(id, name, comPort);
                return result;
            }
            fresh.Put(k, std::make_unique<TDevice>(id, name, catalogue.text(k, QStringLiteral("Tip")), QString(),
                                                   catalogue.text(k, QStringLiteral("Kompjuter")), *port));
        }
        if (rows > kept) {
            result.warning = QStringLiteral("U katalogu je %1 kontrolera, a tabela uređaja prima najviše %2; "
                                            "zadržano je prvih %2.")
                                 .arg(rows)
                                 .arg(TDeviceTable::Slots);
        }
    } catch (const DbError &) {
        result.error = CatalogueReadErrorText + QStringLiteral(" Tabela uređaja nije promenjena.");
        return result;
    }
    SaveDevicesToRegistry(fresh, registry);
    const RegistryLoadResult loaded = LoadDevicesFromRegistry(table, registry);
    result.saved = true;
    if (!loaded.error.isEmpty())
        result.error = loaded.error;
    return result;
}

bool ControllersConfigured(NamedQuery &qControllers, const std::function<void(const QString &)> &error)
{
    const bool wasActive = qControllers.isActive();
    QString problem;
    try {
        qControllers.open();
        if (qControllers.isEmpty())
            problem = NoControllersText;
    } catch (const DbError &) {
        problem = CatalogueReadErrorText;
    }
    if (!wasActive)
        qControllers.close();
    if (!problem.isEmpty())
        error(problem);
    return problem.isEmpty();
}

bool ConfirmWriteToAllControllers(NamedQuery &qControllers, const std::function<void(const QString &)> &error,
                                  const std::function<bool(const QString &)> &question)
{
    return ControllersConfigured(qControllers, error) && question(WriteAllQuestionText);
}
