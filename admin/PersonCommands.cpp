#include "admin/PersonCommands.h"

#include "admin/uDepartements.h"
#include "admin/uEmployeeDialog.h"
#include "admin/uNewMediaID.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/PinCode.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "widgets/CommandTable.h"
#include "widgets/DataGrid.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

#include <QDialog>

using SqlText::escaped;

PersonCommands::PersonCommands(MainBrowser &browser, CommandTable &commands, QObject *parent)
    : QObject(parent),
      frmDepartements(new TfrmDepartements(browser, browser.dialogParent())),
      frmNewEmployee(new TfrmNewEmployee(browser.dataMain(), browser.dataGZ(), *frmDepartements,
                                         browser.dialogParent())),
      frmEditEmployee(new TfrmEditEmployee(browser.dataMain(), browser.dataGZ(), *frmDepartements,
                                           browser.dialogParent())),
      frmNewMediaID(new TfrmNewMediaID(browser.dataMain(), browser.dataGZ(), browser.dialogParent())),
      m_browser(browser)
{
    commands.add(QStringLiteral("Sektori1"), [this] { Sektori1Click(); });
    commands.add(QStringLiteral("DodajOsobu1"), [this] { keepingFocus([this] { addPerson(); }); });
    commands.add(QStringLiteral("btnAddPerson"), [this] { addPerson(); });
    commands.add(QStringLiteral("IzmeniOsobu1"), [this] { keepingFocus([this] { editPerson(); }); });
    commands.add(QStringLiteral("btnEditPerson"), [this] { keepingFocus([this] { editPerson(); }); });
    commands.add(QStringLiteral("IzbrisiOsobu1"), [this] { keepingFocus([this] { deletePerson(); }); });
    commands.add(QStringLiteral("btnDeletePerson"), [this] { deletePerson(); });
    commands.add(QStringLiteral("btnAddMedia"), [this] { addMediaID(); });
    commands.add(QStringLiteral("btnDeleteMedia"), [this] { deleteMediaID(); });
}

void PersonCommands::Sektori1Click()
{
    frmDepartements->setPicker(false);
    frmDepartements->exec();
}

void PersonCommands::keepingFocus(const std::function<void()> &command)
{
    const int index = m_browser.focusedMasterIndex();
    command();
    m_browser.restoreMasterFocus(index);
}

void PersonCommands::runPersonDialog(QDialog *dialog)
{
    QWidget *list = m_browser.masterGrid();
    list->setUpdatesEnabled(false);
    dialog->exec();
    list->setUpdatesEnabled(true);
}

bool PersonCommands::hasFocusedPerson() const
{
    NamedQuery *persons = m_browser.dataMain().qPersons;
    return persons->isActive() && persons->currentRow() >= 0;
}

void PersonCommands::reread(NamedQuery *query)
{
    try {
        query->requery();
    } catch (const DbError &e) {
        MessageBoxes::error(m_browser.dialogParent(), e.text());
    }
}

bool PersonCommands::runStatement(const QString &sql)
{
    TdmGZ &gz = m_browser.dataGZ();
    try {
        gz.connMain->transaction([&] {
            gz.qAction->setText(sql);
            gz.qAction->execute();
        });
        return true;
    } catch (const DbError &e) {
        MessageBoxes::error(m_browser.dialogParent(), e.text());
        return false;
    }
}

void PersonCommands::addPerson()
{
    runPersonDialog(frmNewEmployee);
}

void PersonCommands::editPerson()
{
    if (hasFocusedPerson())
        runPersonDialog(frmEditEmployee);
}

void PersonCommands::deletePerson()
{
    // With nobody listed there is nobody to delete.
    if (!hasFocusedPerson())
        return;
    if (!MessageBoxes::question(m_browser.dialogParent(),
                                QStringLiteral("Jeste li sigurni da želite da izbrišete odabranu osobu?"), true))
        return;
    NamedQuery *persons = m_browser.dataMain().qPersons;
    const QString id = persons->asString(QStringLiteral("ID"));
    // Only the person row goes: the person's links and media-ID assignments stay.
    if (runStatement(QStringLiteral("DELETE FROM zaposleni where idzaposlenog = '") + escaped(id)
                     + QStringLiteral("'")))
        reread(persons);
}

void PersonCommands::addMediaID()
{
    // A media ID is always given to someone.
    if (hasFocusedPerson())
        frmNewMediaID->exec();
}

void PersonCommands::deleteMediaID()
{
    if (!MessageBoxes::question(
            m_browser.dialogParent(),
            QStringLiteral("Jeste li sigurni da želite da izbrišete postojeću dodelu Media ID-a zaposlenom?"), true))
        return;
    NamedQuery *persons = m_browser.dataMain().qPersons;
    NamedQuery *media = m_browser.dataMain().qViewMediaIDHist;
    const QString personID = hasFocusedPerson() ? persons->asString(QStringLiteral("ID")) : QString();
    const QString pin = hasFocusedPerson() ? persons->asString(QStringLiteral("PinKod")) : QString();
    const QString mediaID = media->isActive() && media->currentRow() >= 0 ? media->asString(QStringLiteral("IDNo"))
                                                                         : QString();
    if (!runStatement(QStringLiteral("DELETE FROM zaposleni_IDmemorija where idzaposlenog = '") + escaped(personID)
                      + QStringLiteral("' and idNO = '") + escaped(mediaID) + QStringLiteral("'")))
        return;
    // A failed rebuild is not reported: the assignment is gone either way.
    SavePinCode(m_browser.dataGZ(), personID, pin, false, true);
    reread(media);
}
