#pragma once

#include "widgets/FixedDialog.h"

class DataGrid;
class MainBrowser;
class NamedQuery;
class TfrmEditDepartement;
class TfrmNewDepartement;

// "Sektori": the department list with its add, edit and delete commands. Person dialogs
// also use it as a picker: with the picker flag set, "Zatvori" only records the focused
// department, without re-reading the main window's person list.
class TfrmDepartements : public FixedDialog
{
    Q_OBJECT

public:
    TfrmDepartements(MainBrowser &browser, QWidget *parent);

    void setPicker(bool picker) { m_picker = picker; }
    bool isPicker() const { return m_picker; }
    // The IDSektora of the row focused when "Zatvori" was last pressed; empty for an
    // empty list.
    QString chosenDepartmentID() const { return m_chosen; }

    TfrmNewDepartement *const frmNewDepartement;
    TfrmEditDepartement *const frmEditDepartement;

    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnCloseClick();

protected:
    void opened() override;
    void done(int result) override;

private:
    // Re-reads the list, keeping the focused row's place.
    void rereadList();
    QString focused(const QString &field) const;

    MainBrowser &m_browser;
    NamedQuery &qDepartments;
    DataGrid *m_grid;
    bool m_picker = false;
    QString m_chosen;
};
