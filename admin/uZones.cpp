#include "admin/uZones.h"

#include "db/uDMGZ.h"
#include "widgets/QueryBoundStore.h"

namespace {

const QString InputError = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");

CatalogueEntry zones()
{
    return CatalogueEntry{
        .objectName = QStringLiteral("frmZones"),
        .caption = QStringLiteral("Zone"),
        .columns = {{QStringLiteral("IDZone"), QStringLiteral("ID zone")}, {QStringLiteral("Naziv"), QStringLiteral("Naziv")}},
        .fields = {{QStringLiteral("IDZone"), QStringLiteral("edID"), CatalogueField::Text, 10},
                   {QStringLiteral("Naziv"), QStringLiteral("edName"), CatalogueField::Text, 50}},
        .keyField = QStringLiteral("IDZone"),
        .newEditor = {.objectName = QStringLiteral("frmNewZone"),
                      .caption = QStringLiteral("Nova zona"),
                      .labels = {QStringLiteral("ID zone"), QStringLiteral("Naziv zone")},
                      .okText = QStringLiteral("Dodaj"),
                      .cancelText = QStringLiteral("Otkaži")},
        .editEditor = {.objectName = QStringLiteral("frmEditZone"),
                       .caption = QStringLiteral("Izmena podataka o zoni"),
                       .labels = {QStringLiteral("ID zone"), QStringLiteral("Naziv zone")},
                       .okText = QStringLiteral("U redu"),
                       .cancelText = QStringLiteral("Otkaži")},
        .texts = {.requiredWarning = QStringLiteral("Polja \"ID zone\" and \"Naziv zone\" moraju biti popunjena."),
                  .deleteQuestion = QStringLiteral("Jeste li sigurni da želite da izbrišete odabranu zonu?"),
                  .addError = InputError,
                  .editError = InputError,
                  .deleteError = InputError},
        .inPlaceEditing = true,
    };
}

} // namespace

TfrmZones::TfrmZones(TdmGZ &gz, QWidget *parent)
    : CatalogueWindow(zones(), std::make_unique<QueryBoundStore>(gz.qZones), parent)
{
}
