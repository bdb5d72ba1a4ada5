#include "link/DBImage.h"

#include "db/DbConnection.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/SqlText.h"
#include "link/DeviceTable.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <memory>
#include <vector>

namespace {

// A long list of bad media IDs is cut short in the message.
constexpr int SkippedShown = 10;

QString controllerName(const TDevice &device)
{
    return QStringLiteral("Kontroler %1 (%2)").arg(device.ID, device.Name);
}

QString notFittedWarning(const TDevice &device, int first, int second)
{
    return QStringLiteral("%1: %2 media ID-jeva nije stalo u memoriju kontrolera "
                          "(prva tabela: %3, druga tabela: %4) i neće biti upisano.")
        .arg(controllerName(device))
        .arg(first + second)
        .arg(first)
        .arg(second);
}

QString skippedWarning(const TDevice &device, const QStringList &skipped)
{
    QString list = skipped.mid(0, SkippedShown).join(QStringLiteral(", "));
    if (skipped.size() > SkippedShown)
        list += QStringLiteral(" i još %1").arg(skipped.size() - SkippedShown);
    return QStringLiteral("%1: %2 media ID-jeva nije od 16 heksadecimalnih cifara i neće biti upisano: %3.")
        .arg(controllerName(device))
        .arg(skipped.size())
        .arg(list);
}

bool isMediaId(const QString &text)
{
    if (text.size() != 4 * TDevice::WordsPerSlot)
        return false;
    for (QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

// Controller IDs compare without regard to case, as the database compares them.
QString idKey(const QString &id)
{
    return id.toLower();
}

} // namespace

DBImageFill::DBImageFill(TDevice &device)
    : m_device(device),
      m_first{device.TableBegin(), device.FirstTableSlots()},
      m_second{device.SecondTableStart(), device.SecondTableSlots()}
{
    device.DBImage.fill(TDevice::EmptyWord);
    device.SlotStatus.fill(0);
}

void DBImageFill::add(const QString &mediaId, int status)
{
    if (status != 1 && status != 2)
        return;
    if (!isMediaId(mediaId)) {
        // Named once, though both tables may list it.
        if (!m_skipped.contains(mediaId))
            m_skipped.append(mediaId);
        return;
    }
    Table &table = status == 1 ? m_first : m_second;
    if (table.filled >= table.capacity) {
        ++table.notFitted;
        return;
    }
    const int index = table.startIndex + TDevice::WordsPerSlot * table.filled;
    StoreMediaID(m_device.DBImage, index, mediaId);
    m_device.SlotStatus[size_t(index / TDevice::WordsPerSlot)] = status;
    ++table.filled;
}

DBImageLoad DBImageFill::result() const
{
    DBImageLoad load;
    load.notFittedFirst = m_first.notFitted;
    load.notFittedSecond = m_second.notFitted;
    load.skipped = m_skipped;
    QStringList lines;
    if (load.notFittedFirst + load.notFittedSecond > 0)
        lines.append(notFittedWarning(m_device, load.notFittedFirst, load.notFittedSecond));
    if (!m_skipped.isEmpty())
        lines.append(skippedWarning(m_device, m_skipped));
    load.warning = lines.join(u'\n');
    return load;
}

DBImageLoad LoadDBImage(TDeviceTable &table, int slot, NamedQuery &spPodaciZaKontrolere)
{
    TDevice *device = table.Device(slot);
    if (!device)
        return {};
    DBImageFill fill(*device);
    if (device->Capacity == 0)
        return fill.result();

    NamedQuery &sp = spPodaciZaKontrolere;
    bool failed = false;
    try {
        sp.close();
        sp.setParameter(QStringLiteral("idkontrolera"), device->ID);
        sp.open();
        const int idNo = sp.fieldIndex(QStringLiteral("IDNo"));
        const int status = sp.fieldIndex(QStringLiteral("status"));
        failed = idNo < 0 || status < 0;
        for (int row = 0; !failed && row < sp.rowCount(); ++row)
            fill.add(sp.cell(row, idNo).toString(), sp.cell(row, status).toInt());
        sp.close();
    } catch (const DbError &) {
        sp.close();
        failed = true;
    }
    DBImageLoad load = fill.result();
    load.failed = failed;
    return load;
}

QString AllControllersDataStatement(const QStringList &controllerIds)
{
    QStringList quoted;
    for (const QString &id : controllerIds)
        quoted.append(SqlText::quoted(id));
    return QStringLiteral("SELECT kz.idkontrolera, zm.IDNo, kz.status "
                          "FROM viewDorvZoneKontrolera kz "
                          "JOIN viewDorvMediaIDZone zm ON zm.IDZone = kz.IDZone "
                          "WHERE kz.idkontrolera IN (%1) "
                          "GROUP BY kz.idkontrolera, kz.status, zm.IDNo "
                          "ORDER BY kz.idkontrolera, kz.status, zm.IDNo")
        .arg(quoted.join(QStringLiteral(", ")));
}

DBImagesLoad LoadAllDBImages(TDeviceTable &table, DbConnection &connection)
{
    // Every device starts from an empty image; those with a table wait for their rows.
    // Several slots may hold the same controller: each gets its rows.
    std::vector<std::unique_ptr<DBImageFill>> fills(TDeviceTable::Slots);
    QHash<QString, std::vector<DBImageFill *>> byId;
    QStringList ids;
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        TDevice *device = table.Device(slot);
        if (!device)
            continue;
        fills[size_t(slot)] = std::make_unique<DBImageFill>(*device);
        if (device->Capacity == 0)
            continue;
        std::vector<DBImageFill *> &sameId = byId[idKey(device->ID)];
        if (sameId.empty())
            ids.append(device->ID);
        sameId.push_back(fills[size_t(slot)].get());
    }

    DBImagesLoad result;
    if (!ids.isEmpty()) {
        if (!connection.isOpen()) {
            result.error = DBImagesReadErrorText;
            return result;
        }
        QSqlQuery q(connection.database());
        q.setForwardOnly(true);
        if (!q.exec(connection.dialect().adapt(AllControllersDataStatement(ids)))) {
            result.error = DBImagesReadErrorText;
            return result;
        }
        // Rows come controller by controller: look a controller up once per run of rows.
        QString current;
        bool first = true;
        const std::vector<DBImageFill *> *targets = nullptr;
        while (q.next()) {
            const QString key = idKey(q.value(0).toString());
            if (first || key != current) {
                first = false;
                current = key;
                const auto found = byId.constFind(key);
                targets = found == byId.constEnd() ? nullptr : &found.value();
            }
            if (!targets)
                continue;
            const QString mediaId = q.value(1).toString();
            const int status = q.value(2).toInt();
            for (DBImageFill *fill : *targets)
                fill->add(mediaId, status);
        }
        if (q.lastError().isValid()) {
            result.error = DBImagesReadErrorText;
            return result;
        }
    }
    for (const std::unique_ptr<DBImageFill> &fill : fills) {
        if (!fill)
            continue;
        const QString warning = fill->result().warning;
        if (!warning.isEmpty())
            result.warnings.append(warning);
    }
    return result;
}
