#include "admin/uAccessPoints.h"

#include "admin/ActionQuery.h"
#include "db/DbError.h"
#include "db/LinkNumbering.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"
#include "widgets/MessageBoxes.h"

using SqlText::quoted;

namespace {

const QString InputError = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");
const QString LinkTable = QStringLiteral("tblDorvZone_TackePristupa");

CatalogueEntry accessPoints()
{
    const QStringList labels = {QStringLiteral("ID"), QStringLiteral("Naziv"), QStringLiteral("Ulazak u zonu")};
    return CatalogueEntry{
        .objectName = QStringLiteral("frmAccessPoints"),
        .caption = QStringLiteral("Tačke pristupa"),
        .columns = {{QStringLiteral("IDTackePristupa"), QStringLiteral("ID")},
                    {QStringLiteral("Naziv"), QStringLiteral("Naziv")},
                    {QStringLiteral("IDZone"), QStringLiteral("Ulazak u zonu")}},
        .fields = {{QStringLiteral("IDTackePristupa"), QStringLiteral("edID"), CatalogueField::Text, 10},
                   {QStringLiteral("Naziv"), QStringLiteral("edName"), CatalogueField::Text, 50},
                   {QStringLiteral("IDZone"), QStringLiteral("cxLookupcmbZone"), CatalogueField::Choice, 10}},
        .keyField = QStringLiteral("IDTackePristupa"),
        .newEditor = {.objectName = QStringLiteral("frmNewAccessPoint"),
                      .caption = QStringLiteral("Nova tačka pristupa"),
                      .labels = labels,
                      .okText = QStringLiteral("U redu"),
                      .cancelText = QStringLiteral("Otkaži")},
        .editEditor = {.objectName = QStringLiteral("frmEditAccessPoint"),
                       .caption = QStringLiteral("Izmena tačke pristupa"),
                       .labels = labels,
                       .okText = QStringLiteral("U redu"),
                       .cancelText = QStringLiteral("Otkaži"),
                       .focusKey = QStringLiteral("Naziv")},
        .texts = {.requiredWarning = QStringLiteral("Sva polja moraju biti popunjena."),
                  .deleteQuestion = QStringLiteral("Jeste li sigurni da želite da izbrišete odabranu tačku pristupa?"),
                  .addError = InputError,
                  .editError = InputError,
                  .deleteError = QStringLiteral("Greška u unosu, podaci nisu izbrisani.")},
    };
}

// The zone is linked by the ID chosen in the chooser, so zones that share a name
// cannot be mixed up.
class AccessPointStore : public CatalogueStore
{
public:
    explicit AccessPointStore(TdmGZ &gz) : m_gz(gz) {}

    NamedQuery *list() const override { return m_gz.qAccessPoints; }

    void open() override
    {
        m_gz.qZones->open();
        m_gz.qAccessPoints->open();
    }

    void close() override
    {
        m_gz.qAccessPoints->close();
        m_gz.qZones->close();
    }

    QList<CatalogueChoice> choices(const QString &) const override
    {
        NamedQuery *zones = m_gz.qZones;
        QList<CatalogueChoice> out;
        if (!zones->isActive())
            return out;
        const int id = zones->fieldIndex(QStringLiteral("IDZone"));
        const int name = zones->fieldIndex(QStringLiteral("Naziv"));
        for (int r = 0; r < zones->rowCount(); ++r)
            out.append({zones->cell(r, name).toString(), zones->cell(r, id).toString()});
        return out;
    }

    void newEditorOpened(QWidget *editor) override
    {
        try {
            if (!ActionQuery::hasRows(*m_gz.qAction, QStringLiteral("SELECT * FROM tblDorvZone")))
                MessageBoxes::warning(editor, QStringLiteral("Morate definisati bar jednu Zonu pre dodavanja Tacke pristupa."));
        } catch (const DbError &e) {
            MessageBoxes::error(editor, e.text());
        }
    }

    void insert(const CatalogueRecord &r) override
    {
        const QString id = r.value(QStringLiteral("IDTackePristupa")).toString();
        m_gz.connMain->transaction([&] {
            run(QStringLiteral("INSERT INTO tblDorvTackePristupa(IDTackePristupa, Naziv) VALUES (") + quoted(id)
                + QStringLiteral(", ") + quoted(r.value(QStringLiteral("Naziv")).toString()) + QStringLiteral(")"));
            insertLink(r.value(QStringLiteral("IDZone")).toString(), id);
        });
    }

    void update(const CatalogueRecord &before, const CatalogueRecord &after) override
    {
        const QString oldId = before.value(QStringLiteral("IDTackePristupa")).toString();
        const QString newId = after.value(QStringLiteral("IDTackePristupa")).toString();
        const QString zone = after.value(QStringLiteral("IDZone")).toString();
        m_gz.connMain->transaction([&] {
            ActionQuery::requireChanged(
                run(QStringLiteral("UPDATE tblDorvTackePristupa SET IDTackePristupa = ") + quoted(newId)
                    + QStringLiteral(", Naziv = ") + quoted(after.value(QStringLiteral("Naziv")).toString())
                    + QStringLiteral(" WHERE IDTackePristupa = ") + quoted(oldId)),
                QStringLiteral("tblDorvTackePristupa"));
            // Every zone link of the access point follows; one that had none gets one.
            const int links = run(QStringLiteral("UPDATE tblDorvZone_TackePristupa SET IDZone = ") + quoted(zone)
                                  + QStringLiteral(", IDTackePristupa = ") + quoted(newId)
                                  + QStringLiteral(" WHERE IDTackePristupa = ") + quoted(oldId));
            if (links == 0)
                insertLink(zone, newId);
        });
    }

    void remove(const CatalogueRecord &r) override
    {
        const QString id = quoted(r.value(QStringLiteral("IDTackePristupa")).toString());
        m_gz.connMain->transaction([&] {
            run(QStringLiteral("DELETE FROM tblDorvZone_TackePristupa WHERE IDTackePristupa = ") + id
                + QStringLiteral(" AND IDZone = ") + quoted(r.value(QStringLiteral("IDZone")).toString()));
            run(QStringLiteral("DELETE FROM tblDorvTackePristupa WHERE IDTackePristupa = ") + id);
        });
    }

private:
    int run(const QString &sql) { return ActionQuery::execute(*m_gz.qAction, sql); }

    void insertLink(const QString &zone, const QString &accessPoint)
    {
        LinkNumbering numbers = LinkNumbering::afterMax(
            ActionQuery::firstValue(*m_gz.qAction, LinkNumbering::maxIdStatement(LinkTable), QStringLiteral("id")));
        run(QStringLiteral("INSERT INTO tblDorvZone_TackePristupa(id, IDZone, IDTackePristupa, Status) VALUES (")
            + QString::number(numbers.next()) + QStringLiteral(", ") + quoted(zone) + QStringLiteral(", ")
            + quoted(accessPoint) + QStringLiteral(", 1)"));
    }

    TdmGZ &m_gz;
};

} // namespace

TfrmAccessPoints::TfrmAccessPoints(TdmGZ &gz, QWidget *parent)
    : CatalogueWindow(accessPoints(), std::make_unique<AccessPointStore>(gz), parent)
{
}
