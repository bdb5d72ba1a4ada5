#include "admin/LinkStatements.h"

#include "db/LinkNumbering.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"

namespace LinkTables {
const LinkTable PersonGroup{QStringLiteral("tblDorvOsobe_Grupe"), QStringLiteral("IDZaposlenog"),
                            QStringLiteral("IDGrupe"), false};
const LinkTable PersonZone{QStringLiteral("tblDorvOsobe_Zone"), QStringLiteral("IDZaposlenog"),
                           QStringLiteral("IDZone"), true};
const LinkTable GroupZone{QStringLiteral("tblDorvGrupe_Zone"), QStringLiteral("IDGrupe"), QStringLiteral("IDZone"),
                          true};
} // namespace LinkTables

QString insertStatement(const LinkTable &link, int id, const LinkKeys &keys, int mode)
{
    const QString head = QStringLiteral("INSERT INTO %1(ID, %2, %3, ").arg(link.table, link.firstColumn, link.secondColumn);
    const QString values = QStringLiteral("VALUES(%1, %2, %3, ")
                               .arg(QString::number(id), SqlText::quoted(keys.first), SqlText::quoted(keys.second));
    if (link.hasMode)
        return head + QStringLiteral("IDVremenskogintervala, UkljucenIPinKod) ") + values
               + QStringLiteral("1, %1)").arg(mode);
    return head + QStringLiteral("Status) ") + values + QStringLiteral("1)");
}

QString modeUpdateStatement(const LinkTable &link, int mode, const QString &holder, const QString &zone)
{
    return QStringLiteral("UPDATE %1 SET UkljucenIPinKod = %2 WHERE %3 = %4 AND IDZone = %5")
        .arg(link.table, QString::number(mode), link.firstColumn, SqlText::quoted(holder), SqlText::quoted(zone));
}

QString deleteStatement(const LinkTable &link, const QString &masterColumn, const QString &masterKey,
                        const QString &keyColumn, const QString &key)
{
    return QStringLiteral("DELETE FROM %1 WHERE %2 = %3 AND %4=%5")
        .arg(link.table, masterColumn, SqlText::quoted(masterKey), keyColumn, SqlText::quoted(key));
}

void insertLinks(TdmGZ &gz, const LinkTable &link, const QList<LinkKeys> &links, int mode)
{
    NamedQuery &qAction = *gz.qAction;
    try {
        gz.connMain->transaction([&] {
            qAction.setText(LinkNumbering::maxIdStatement(link.table));
            qAction.open();
            const QString largest = qAction.asString(QStringLiteral("id"));
            qAction.close();
            LinkNumbering numbering = LinkNumbering::afterMax(largest);
            for (const LinkKeys &keys : links) {
                qAction.setText(insertStatement(link, numbering.next(), keys, mode));
                qAction.execute();
            }
        });
    } catch (...) {
        // The statement query holds one statement at a time: leave it closed.
        qAction.close();
        throw;
    }
}
