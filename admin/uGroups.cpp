#include "admin/uGroups.h"

#include "db/uDMGZ.h"
#include "widgets/QueryBoundStore.h"

namespace {

const QString InputError = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");

CatalogueEntry groups()
{
    return CatalogueEntry{
        .objectName = QStringLiteral("frmGroups"),
        .caption = QStringLiteral("Grupe"),
        .columns = {{QStringLiteral("IDGrupe"), QStringLiteral("ID grupe")}, {QStringLiteral("Naziv"), QStringLiteral("Naziv")}},
        .fields = {{QStringLiteral("IDGrupe"), QStringLiteral("edID"), CatalogueField::Text, 50},
                   {QStringLiteral("Naziv"), QStringLiteral("edName"), CatalogueField::Text, 50}},
        .keyField = QStringLiteral("IDGrupe"),
        .newEditor = {.objectName = QStringLiteral("frmNewGroup"),
                      .caption = QStringLiteral("Nova grupa"),
                      .labels = {QStringLiteral("ID grupe"), QStringLiteral("Naziv grupe")},
                      .okText = QStringLiteral("Dodaj"),
                      .cancelText = QStringLiteral("Otkaži")},
        .editEditor = {.objectName = QStringLiteral("frmEditGroup"),
                       .caption = QStringLiteral("Izmena podataka o grupi"),
                       .labels = {QStringLiteral("ID Grupe"), QStringLiteral("Naziv grupe")},
                       .okText = QStringLiteral("U redu"),
                       .cancelText = QStringLiteral("Otkaži")},
        .texts = {.requiredWarning = QStringLiteral("Polja \"ID grupe\" and \"Naziv grupe\" moraju biti popunjena."),
                  .deleteQuestion = QStringLiteral("Jeste li sigurni da želite da izbrišete odabranu grupu?"),
                  .addError = InputError,
                  .editError = InputError,
                  .deleteError = InputError},
        .inPlaceEditing = true,
    };
}

} // namespace

TfrmGroups::TfrmGroups(TdmGZ &gz, QWidget *parent)
    : CatalogueWindow(groups(), std::make_unique<QueryBoundStore>(gz.qGroups), parent)
{
}
