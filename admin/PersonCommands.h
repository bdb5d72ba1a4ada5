#pragma once

#include <QObject>

#include <functional>

class CommandTable;
class MainBrowser;
class NamedQuery;
class QDialog;
class TfrmDepartements;
class TfrmEditEmployee;
class TfrmNewEmployee;
class TfrmNewMediaID;

// The main window's commands for the register of persons: "Konfiguracija" -> "Sektori",
// adding, editing and deleting persons from the context menu and the person panel, and
// the media IDs under the panel's list. The windows are made once, here.
class PersonCommands : public QObject
{
    Q_OBJECT

public:
    PersonCommands(MainBrowser &browser, CommandTable &commands, QObject *parent);

    TfrmDepartements *const frmDepartements;
    TfrmNewEmployee *const frmNewEmployee;
    TfrmEditEmployee *const frmEditEmployee;
    TfrmNewMediaID *const frmNewMediaID;

private:
    void Sektori1Click();
    void addPerson();
    void editPerson();
    void deletePerson();
    void addMediaID();
    void deleteMediaID();

    // The context menu's rule: the focused row's index before, the same index (or the
    // row before it, when the list got shorter) afterwards, the detail list re-read.
    void keepingFocus(const std::function<void()> &command);
    // The master list does not redraw while a person dialog is open.
    void runPersonDialog(QDialog *dialog);
    bool hasFocusedPerson() const;
    // Runs one statement on TdmGZ's action query in a transaction of its own; false,
    // after an error box with the database's text, when the database refused it.
    bool runStatement(const QString &sql);
    void reread(NamedQuery *query);

    MainBrowser &m_browser;
};
