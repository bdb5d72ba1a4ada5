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

namespace {

// Two kinds of rows, the controllers' zones first: (0, controller, status, zone, NULL),
// then every media ID of those zones: (1, NULL, NULL, zone, IDNo), ordered by IDNo as
// the database orders it, so a media ID that reaches a controller through several zones
// comes in adjacent rows.
QString allControllersStatement(const QStringList &controllerIds)
{
    QStringList quoted;
    for (const QString &id : controllerIds)
        quoted.append(SqlText::quoted(id));
    const QString ids = quoted.join(QStringLiteral(", "));
    return QStringLiteral("SELECT 0 AS Vrsta, kz.idkontrolera, kz.status, kz.IDZone, NULL AS IDNo "
                          "FROM viewDorvZoneKontrolera kz WHERE kz.idkontrolera IN (%1) "
                          "UNION ALL "
                          "SELECT 1, NULL, NULL, zm.IDZone, zm.IDNo FROM viewDorvMediaIDZone zm "
                          "WHERE zm.IDZone IN (SELECT IDZone FROM viewDorvZoneKontrolera WHERE idkontrolera IN (%1)) "
                          "ORDER BY Vrsta, IDNo")
        .arg(ids);
}

// One controller's list of one status, as the zones' rows reach it.
struct ControllerList
{
    int controller;
    int status;
    QString last;
    bool empty = true;
};

} // namespace

void ReadAllControllersData(DbConnection &connection, const QStringList &controllerIds, const ControllerDataRow &row)
{
    if (controllerIds.isEmpty())
        return;
    if (!connection.isOpen())
        throw DbError(QStringLiteral("The connection is closed"));
    QHash<QString, int> controllerIndex;
    for (int i = 0; i < controllerIds.size(); ++i)
        controllerIndex.insert(idKey(controllerIds[i]), i);
    // Duplicates are the rows the database's DISTINCT would take for one: on SQL Server
    // its text comparison ignores case, on SQLite (the expression's BINARY) it does not.
    const Qt::CaseSensitivity sameText =
        connection.dialect().kind() == SqlDialect::Sqlite ? Qt::CaseSensitive : Qt::CaseInsensitive;

    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.exec(connection.dialect().adapt(allControllersStatement(controllerIds))))
        throw DbError(q.lastError().text());
    std::vector<ControllerList> lists;
    QHash<QString, std::vector<int>> listsOfZone;
    QHash<std::pair<int, int>, int> listOf;
    while (q.next()) {
        const QString zone = idKey(q.value(3).toString());
        if (q.value(0).toInt() == 0) {
            const auto controller = controllerIndex.constFind(idKey(q.value(1).toString()));
            if (controller == controllerIndex.constEnd())
                continue;
            const int status = q.value(2).toInt();
            const auto key = std::make_pair(controller.value(), status);
            auto list = listOf.find(key);
            if (list == listOf.end()) {
                list = listOf.insert(key, int(lists.size()));
                lists.push_back({controller.value(), status, {}});
            }
            listsOfZone[zone].push_back(list.value());
            continue;
        }
        const auto reached = listsOfZone.constFind(zone);
        if (reached == listsOfZone.constEnd())
            continue;
        const QString mediaId = q.value(4).toString();
        for (int index : reached.value()) {
            ControllerList &list = lists[size_t(index)];
            if (!list.empty && list.last.compare(mediaId, sameText) == 0)
                continue;
            list.last = mediaId;
            list.empty = false;
            row(list.controller, mediaId, list.status);
        }
    }
    if (q.lastError().isValid())
        throw DbError(q.lastError().text());
}

DBImagesLoad LoadAllDBImages(TDeviceTable &table, DbConnection &connection)
{
    // Every device starts from an empty image; those with a table wait for their rows.
    // Several slots may hold the same controller: each gets its rows.
    std::vector<std::unique_ptr<DBImageFill>> fills(TDeviceTable::Slots);
    QHash<QString, int> idIndex;
    QStringList ids;
    std::vector<std::vector<DBImageFill *>> fillsOfId;
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        TDevice *device = table.Device(slot);
        if (!device)
            continue;
        fills[size_t(slot)] = std::make_unique<DBImageFill>(*device);
        if (device->Capacity == 0)
            continue;
        auto index = idIndex.find(idKey(device->ID));
        if (index == idIndex.end()) {
            index = idIndex.insert(idKey(device->ID), int(ids.size()));
            ids.append(device->ID);
            fillsOfId.emplace_back();
        }
        fillsOfId[size_t(index.value())].push_back(fills[size_t(slot)].get());
    }

    DBImagesLoad result;
    try {
        ReadAllControllersData(connection, ids, [&](int controller, const QString &mediaId, int status) {
            for (DBImageFill *fill : fillsOfId[size_t(controller)])
                fill->add(mediaId, status);
        });
    } catch (const DbError &e) {
        if (!connection.isOpen()) {
            result.error = DBImagesReadErrorText;
            return result;
        }
        // A database made before the companion views has the access-list procedure
        // only: it gives the same rows, one controller at a time.
        qWarning("Access lists read one controller at a time: %s", qPrintable(e.text()));
        return LoadEachDBImage(table, connection);
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

DBImagesLoad LoadEachDBImage(TDeviceTable &table, DbConnection &connection)
{
    NamedQuery sp(QStringLiteral("spPodaciZaKontrolere"), &connection);
    sp.setText(SqlDialect::controllerDataCall());
    DBImagesLoad result;
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        const DBImageLoad load = LoadDBImage(table, slot, sp);
        if (load.failed) {
            result.error = DBImagesReadErrorText;
            return result;
        }
        if (!load.warning.isEmpty())
            result.warnings.append(load.warning);
    }
    return result;
}
