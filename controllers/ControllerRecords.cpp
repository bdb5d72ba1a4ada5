#include "controllers/ControllerRecords.h"

#include "controllers/ControllerModels.h"
#include "db/NamedQuery.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"

#include <QHash>
#include <QRegularExpression>

namespace {

const QString IDKontrolera = QStringLiteral("IDKontrolera");

bool isControllerNumber(const QString &id)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    bool fits = false;
    id.toInt(&fits);
    return digits.match(id).hasMatch() && fits;
}

bool isComPort(const QString &port)
{
    static const QRegularExpression com(QStringLiteral("^COM[0-9]{1,2}$"), QRegularExpression::CaseInsensitiveOption);
    return com.match(port).hasMatch();
}

void run(NamedQuery &qAction, const QString &sql)
{
    qAction.setText(sql);
    qAction.execute();
}

QString deleteLinkStatement(int contactId)
{
    return QStringLiteral("delete from tblDorvKontaktiKontrolera_TackePristupa where IDKontakta = '")
           + QString::number(contactId) + QStringLiteral("'");
}

QString insertLinkStatement(int contactId, const QString &accessPoint)
{
    return QStringLiteral("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa(IDKontakta, IDTackePristupa) VALUES('")
           + QString::number(contactId) + QStringLiteral("', ") + SqlText::quoted(accessPoint) + QStringLiteral(")");
}

// The access point linked to each contact number of a controller.
QHash<QString, QString> linksByContactNumber(NamedQuery &qAction, const QString &controllerId)
{
    qAction.setText(QStringLiteral("SELECT k.RBTouchKontakta, kt.IDTackePristupa FROM tblDorvKontakti k "
                                   "JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta "
                                   "WHERE k.idkontrolera = ")
                    + SqlText::quoted(controllerId));
    qAction.open();
    const int number = qAction.fieldIndex(QStringLiteral("RBTouchKontakta"));
    const int accessPoint = qAction.fieldIndex(QStringLiteral("IDTackePristupa"));
    QHash<QString, QString> links;
    for (int row = 0; row < qAction.rowCount(); ++row) {
        const QString ap = qAction.cell(row, accessPoint).toString();
        if (!ap.isEmpty())
            links.insert(qAction.cell(row, number).toString(), ap);
    }
    qAction.close();
    return links;
}

// Contacts left under an ID would belong to whatever controller takes it next.
void removeContacts(NamedQuery &qAction, const QString &controllerId)
{
    run(qAction, QStringLiteral("DELETE FROM tblDorvKontaktiKontrolera_TackePristupa WHERE IDKontakta IN "
                                "(SELECT IDKontakta FROM tblDorvKontakti WHERE IDkontrolera = ")
                     + SqlText::quoted(controllerId) + QStringLiteral(")"));
    run(qAction, QStringLiteral("DELETE FROM tblDorvKontakti WHERE IDkontrolera = ") + SqlText::quoted(controllerId));
}

// The contact list follows the focused controller; it is closed again however the insert ends.
class OpenContacts
{
public:
    explicit OpenContacts(NamedQuery &q) : m_q(q)
    {
        m_q.close();
        m_q.open();
    }
    ~OpenContacts() { m_q.close(); }
    OpenContacts(const OpenContacts &) = delete;
    OpenContacts &operator=(const OpenContacts &) = delete;

private:
    NamedQuery &m_q;
};

void insertContacts(TdmGZ &gz, const QString &controllerId, const QString &type,
                    const QHash<QString, QString> &links)
{
    NamedQuery &contacts = *gz.qControllersDet;
    const OpenContacts open(contacts);
    for (const ControllerModels::Contact &c : ControllerModels::contactsOf(type)) {
        contacts.insert();
        contacts.setValue(QStringLiteral("idkontrolera"), controllerId);
        contacts.setValue(QStringLiteral("RBTouchKontakta"), c.number);
        contacts.setValue(QStringLiteral("MerodavnaTabela"), c.table);
        contacts.post();
        const QString accessPoint = links.value(c.number);
        if (!accessPoint.isEmpty())
            run(*gz.qAction, insertLinkStatement(contacts.asInteger(QStringLiteral("IDKontakta")), accessPoint));
    }
}

} // namespace

QString controllerEntryProblem(const ControllerEntry &entry)
{
    for (const QString *field : {&entry.id, &entry.name, &entry.type, &entry.computer, &entry.comPort}) {
        if (field->isEmpty())
            return FieldsMissingText;
    }
    if (!isControllerNumber(entry.id))
        return IdNotNumberText;
    if (!isComPort(entry.comPort))
        return ComPortInvalidText;
    return QString();
}

void SaveController(TdmGZ &gz, const QString &previousId)
{
    NamedQuery &controllers = *gz.qControllers;
    gz.connMain->transaction([&] {
        const QString id = controllers.asString(IDKontrolera);
        const QString type = controllers.asString(QStringLiteral("Tip"));
        const QHash<QString, QString> links =
            previousId.isEmpty() ? QHash<QString, QString>() : linksByContactNumber(*gz.qAction, previousId);
        controllers.post();
        if (!previousId.isEmpty())
            removeContacts(*gz.qAction, previousId);
        if (id != previousId)
            removeContacts(*gz.qAction, id);
        insertContacts(gz, id, type, links);
    });
}

void DeleteController(TdmGZ &gz)
{
    NamedQuery &controllers = *gz.qControllers;
    gz.connMain->transaction([&] {
        removeContacts(*gz.qAction, controllers.asString(IDKontrolera));
        controllers.remove();
    });
}

void LinkContact(TdmGZ &gz, int contactId, const QString &accessPoint)
{
    gz.connMain->transaction([&] {
        run(*gz.qAction, deleteLinkStatement(contactId));
        run(*gz.qAction, insertLinkStatement(contactId, accessPoint));
    });
}

void UnlinkContact(TdmGZ &gz, int contactId)
{
    gz.connMain->transaction([&] { run(*gz.qAction, deleteLinkStatement(contactId)); });
}
