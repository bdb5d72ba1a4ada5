#include "admin/uTimeIntervals.h"

#include "admin/ActionQuery.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"
#include "db/uDMProperties.h"

using SqlText::quoted;

namespace {

CatalogueEntry timeIntervals()
{
    const QStringList labels = {QStringLiteral("ID"), QStringLiteral("Od"), QStringLiteral("Do")};
    return CatalogueEntry{
        .objectName = QStringLiteral("frmTimeIntervals"),
        .caption = QStringLiteral("Vremenski intervali"),
        .columns = {{QStringLiteral("ID"), QStringLiteral("ID")},
                    {QStringLiteral("From"), QStringLiteral("Od")},
                    {QStringLiteral("To"), QStringLiteral("Do")}},
        .fields = {{QStringLiteral("ID"), QStringLiteral("edID"), CatalogueField::Text, 10},
                   {QStringLiteral("From"), QStringLiteral("edFrom"), CatalogueField::Time, 5},
                   {QStringLiteral("To"), QStringLiteral("edTo"), CatalogueField::Time, 5}},
        .keyField = QStringLiteral("ID"),
        .newEditor = {.objectName = QStringLiteral("frmNewTimeInterval"),
                      .caption = QStringLiteral("Nov vremenski interval"),
                      .labels = labels,
                      .okText = QStringLiteral("Dodaj"),
                      .cancelText = QStringLiteral("Odustani"),
                      .alwaysText = QStringLiteral("Uvek"),
                      .alwaysSetsTimes = true,
                      .keepsValues = true,
                      .staysOpen = true},
        .editEditor = {.objectName = QStringLiteral("frmEditTimeInterval"),
                       .caption = QStringLiteral("Izmena podataka o vremenskom intervalu"),
                       .labels = labels,
                       .okText = QStringLiteral("U redu"),
                       .cancelText = QStringLiteral("Otkaži"),
                       .alwaysText = QStringLiteral("Always")},
        .texts = {.requiredWarning = QStringLiteral("Sva polja moraju biti popunjena."),
                  .deleteQuestion = QStringLiteral("Jeste li sigurni da želite da izbrišete odabrani vremenski interval?"),
                  .addError = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu."),
                  .editError = QStringLiteral("Greska u unosu, podaci u bazi nisu izmenjeni."),
                  .deleteError = QStringLiteral("Greška u unosu, podaci nisu izbrisani.")},
    };
}

// Times come from the editors as hh:mm, whatever the workstation's time format.
class TimeIntervalStore : public CatalogueStore
{
public:
    TimeIntervalStore(TdmGZ &gz, TdmProperties &properties) : m_gz(gz), m_properties(properties) {}

    NamedQuery *list() const override { return m_properties.qTimeIntervals; }

    void insert(const CatalogueRecord &r) override
    {
        run(QStringLiteral("INSERT INTO tblDorvVremenskiIntervali(IDIntervala, Od, Do, OdOffset, DoOffset) VALUES (")
            + quoted(r.value(QStringLiteral("ID")).toString()) + QStringLiteral(", ")
            + quoted(r.value(QStringLiteral("From")).toString()) + QStringLiteral(", ")
            + quoted(r.value(QStringLiteral("To")).toString()) + QStringLiteral(", 0, 0)"));
    }

    void update(const CatalogueRecord &before, const CatalogueRecord &after) override
    {
        run(QStringLiteral("UPDATE tblDorvVremenskiIntervali SET IDIntervala = ")
                + quoted(after.value(QStringLiteral("ID")).toString()) + QStringLiteral(", Od = ")
                + quoted(after.value(QStringLiteral("From")).toString()) + QStringLiteral(", Do = ")
                + quoted(after.value(QStringLiteral("To")).toString()) + QStringLiteral(" WHERE IDIntervala = ")
                + quoted(before.value(QStringLiteral("ID")).toString()),
            true);
    }

    void remove(const CatalogueRecord &r) override
    {
        run(QStringLiteral("DELETE FROM tblDorvVremenskiIntervali WHERE IDIntervala = ")
            + quoted(r.value(QStringLiteral("ID")).toString()));
    }

private:
    void run(const QString &sql, bool mustChange = false)
    {
        m_gz.connMain->transaction([&] {
            const int changed = ActionQuery::execute(*m_gz.qAction, sql);
            if (mustChange)
                ActionQuery::requireChanged(changed, QStringLiteral("tblDorvVremenskiIntervali"));
        });
    }

    TdmGZ &m_gz;
    TdmProperties &m_properties;
};

} // namespace

TfrmTimeIntervals::TfrmTimeIntervals(TdmGZ &gz, TdmProperties &properties, QWidget *parent)
    : CatalogueWindow(timeIntervals(), std::make_unique<TimeIntervalStore>(gz, properties), parent)
{
}
