#include "controllers/uController.h"

#include "controllers/ControllerModels.h"
#include "controllers/NetworkComputers.h"
#include "controllers/QueryRows.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "widgets/DropDownComboBox.h"
#include "widgets/MessageBoxes.h"
#include "widgets/WaitCursor.h"
#include "widgets/uStatus.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

const ControllerDialogKind NewControllerDialog{QStringLiteral("frmNewController"), QStringLiteral("Nov kontroler"),
                                               true, true, false, true};
const ControllerDialogKind EditControllerDialog{QStringLiteral("frmEditController"),
                                                QStringLiteral("Izmena podataka o kontroleru"), false, false, true,
                                                false};

namespace {

const QString SaveErrorText = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");
const QString ListingComputersText = QStringLiteral("Očitavam racunare u mreži...");
constexpr int ComPorts = 30;

QStringList comPortNames()
{
    QStringList names;
    for (int n = 1; n <= ComPorts; ++n)
        names.append(QStringLiteral("COM%1").arg(n));
    return names;
}

// A stored value that the list does not offer is shown as one more entry, so that
// saving without a change keeps it.
void selectStored(QComboBox *list, const QString &value)
{
    int index = list->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 && !value.isEmpty()) {
        list->addItem(value);
        index = list->count() - 1;
    }
    list->setCurrentIndex(index);
    if (list->isEditable())
        list->setEditText(value);
}

bool isPending(const NamedQuery &q)
{
    return q.state() == NamedQuery::Edit || q.state() == NamedQuery::Insert;
}

} // namespace

TfrmController::TfrmController(const ControllerDialogKind &kind, TdmGZ &gz, NetworkComputers &computers,
                               QWidget *parent)
    : FixedDialog(kind.objectName, kind.caption, parent), m_kind(kind), m_gz(gz), m_computers(&computers),
      cbbTip(new QComboBox(this)), edtID(new QLineEdit(this)), edtNaziv(new QLineEdit(this)),
      cbbKompjuter(new DropDownComboBox(this)), btnComputers(new QPushButton(QStringLiteral("..."), this)),
      cbbComPort(new QComboBox(this)), frmStatus(new TfrmStatus(this))
{
    cbbTip->setObjectName(QStringLiteral("cbbTip"));
    edtID->setObjectName(QStringLiteral("edtID"));
    edtID->setMaxLength(10);
    edtNaziv->setObjectName(QStringLiteral("edtNaziv"));
    edtNaziv->setMaxLength(50);
    cbbKompjuter->setObjectName(QStringLiteral("cbbKompjuter"));
    cbbKompjuter->lineEdit()->setMaxLength(50);
    cbbKompjuter->setMinimumWidth(220);
    btnComputers->setObjectName(QStringLiteral("btnComputers"));
    btnComputers->setToolTip(QStringLiteral("Očitaj računare u mreži"));
    btnComputers->setFixedWidth(28);
    cbbComPort->setObjectName(QStringLiteral("cbbComPort"));
    cbbComPort->setEditable(kind.comPortEditable);
    cbbComPort->setInsertPolicy(QComboBox::NoInsert);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Tip"), cbbTip);
    form->addRow(QStringLiteral("ID"), edtID);
    form->addRow(QStringLiteral("Naziv"), edtNaziv);
    auto *computer = new QHBoxLayout;
    computer->addWidget(cbbKompjuter, 1);
    computer->addWidget(btnComputers);
    form->addRow(QStringLiteral("Računar"), computer);
    form->addRow(QStringLiteral("COM port"), cbbComPort);
    body()->addLayout(form);

    connect(addOkCancel(), &QPushButton::clicked, this, &TfrmController::btnOKClick);
    connect(btnComputers, &QPushButton::clicked, this, &TfrmController::btnComputersClick);
}

bool TfrmController::run()
{
    m_savedId.clear();
    try {
        beginRecord();
    } catch (const DbError &) {
        MessageBoxes::error(parentWidget(), CatalogueReadErrorText);
        return false;
    }
    showRecord();
    return exec() == QDialog::Accepted;
}

void TfrmController::beginRecord()
{
    NamedQuery &q = *m_gz.qControllers;
    q.open();
    // A record left pending elsewhere is not this dialog's to post.
    q.cancel();
    m_previousId.clear();
    if (m_kind.addsController || q.isEmpty()) {
        q.insert();
        if (m_kind.addsController)
            q.setValue(QStringLiteral("ComPort"), comPortNames().first());
    } else {
        q.edit();
        m_previousId = q.asString(QStringLiteral("IDKontrolera"));
    }
}

void TfrmController::showRecord()
{
    NamedQuery &q = *m_gz.qControllers;
    cbbTip->clear();
    cbbTip->addItems(ControllerModels::names());
    if (m_kind.emptyTypeEntry)
        cbbTip->addItem(QString());
    selectStored(cbbTip, q.asString(QStringLiteral("Tip")));
    edtID->setText(q.asString(QStringLiteral("IDKontrolera")));
    edtNaziv->setText(q.asString(QStringLiteral("Naziv")));
    cbbKompjuter->clear();
    cbbKompjuter->setEditText(q.asString(QStringLiteral("Kompjuter")));
    cbbComPort->clear();
    cbbComPort->addItems(comPortNames());
    selectStored(cbbComPort, q.asString(QStringLiteral("ComPort")));
    edtID->setFocus();
}

ControllerEntry TfrmController::entry() const
{
    return {edtID->text(), edtNaziv->text(), cbbTip->currentText(), cbbKompjuter->currentText(),
            cbbComPort->currentText()};
}

void TfrmController::writeEntry(const ControllerEntry &e)
{
    NamedQuery &q = *m_gz.qControllers;
    q.setValue(QStringLiteral("IDKontrolera"), e.id);
    q.setValue(QStringLiteral("Naziv"), e.name);
    q.setValue(QStringLiteral("Tip"), e.type);
    q.setValue(QStringLiteral("Kompjuter"), e.computer);
    q.setValue(QStringLiteral("ComPort"), e.comPort);
}

// A save that failed after its record was posted has been rolled back in the database
// only: the record is read again and taken up once more, for the next "U redu".
void TfrmController::ensurePending()
{
    NamedQuery &q = *m_gz.qControllers;
    if (isPending(q))
        return;
    q.requery();
    const int row = m_previousId.isEmpty() ? -1 : rowWhere(q, QStringLiteral("IDKontrolera"), m_previousId);
    if (row < 0) {
        m_previousId.clear();
        q.insert();
        return;
    }
    q.moveTo(row);
    q.edit();
}

void TfrmController::btnOKClick()
{
    const ControllerEntry e = entry();
    const QString problem = controllerEntryProblem(e);
    if (!problem.isEmpty()) {
        MessageBoxes::warning(this, problem);
        return;
    }
    try {
        ensurePending();
        writeEntry(e);
        SaveController(m_gz, m_previousId);
    } catch (const DbError &) {
        MessageBoxes::error(this, SaveErrorText);
        try {
            ensurePending();
        } catch (const DbError &) {
            // Tried again on the next "U redu".
        }
        return;
    }
    m_savedId = e.id;
    try {
        NamedQuery &q = *m_gz.qControllers;
        q.requery();
        const int row = rowWhere(q, QStringLiteral("IDKontrolera"), e.id);
        if (row >= 0)
            q.moveTo(row);
    } catch (const DbError &) {
        // The controller is saved; the lists show it when they are read again.
    }
    accept();
}

void TfrmController::btnComputersClick()
{
    QStringList names;
    {
        const WaitCursor wait;
        frmStatus->showBusy(ListingComputersText);
        names = m_computers->list();
        frmStatus->close();
    }
    // The typed computer stays unless the first one found replaces it.
    cbbKompjuter->setItemsKeepingText(names);
    if (m_kind.selectsFirstComputer && !names.isEmpty())
        cbbKompjuter->setCurrentIndex(0);
}

void TfrmController::done(int result)
{
    NamedQuery &q = *m_gz.qControllers;
    if (result != QDialog::Accepted && isPending(q))
        q.cancel();
    FixedDialog::done(result);
}
