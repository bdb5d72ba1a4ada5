// TfrmEmployeeDialog with its two uses, TfrmNewEmployee and TfrmEditEmployee.
#pragma once

#include "admin/DialogTransaction.h"
#include "widgets/FixedDialog.h"

class DepartmentComboBox;
class NamedQuery;
class PhotoBox;
class QLineEdit;
class QPushButton;
class TdmGZ;
class TdmMain;
class TfrmDepartements;

// A person's ID, surname, first name, department, photo and PIN on the focused row of
// the person list, inside a transaction of TdmMain's connection held while the dialog is
// shown. The PIN is saved once more afterwards, on TdmGZ's connection.
class TfrmEmployeeDialog : public FixedDialog
{
    Q_OBJECT

public:
    void btnOKClick();
    void reject() override;
    void btnDepartementClick();
    void btnLoadPhotoClick();
    void btnRemovePhotoClick();

protected:
    TfrmEmployeeDialog(TdmMain &dmMain, TdmGZ &dmGZ, TfrmDepartements &departements, const QString &objectName,
                       const QString &caption, const QString &loadPhotoText, QWidget *parent);

    void opened() override;
    // Puts the person list's focused row into insert or edit state.
    virtual void startRow() = 0;
    // The last step of a save, after the commit: saves the PIN again. False keeps the
    // dialog open.
    virtual bool savePinAgain(const QString &id, const QString &pin) = 0;
    // After a failed attempt, the row back in insert or edit state for the next one.
    virtual void resumeRow() = 0;

    QString chosenDepartmentID() const;
    void rereadPersons();

    TdmGZ &m_dmGZ;
    NamedQuery &qPersons;

private:
    // The fields from the focused row.
    void showRow();
    // Writes the row and commits; false, after the error box, when that failed.
    bool post(const QString &id, const QString &pin);
    // After a failed attempt: a new transaction, and the row ready for the next one.
    void recover();

    NamedQuery &qLookup;
    TfrmDepartements &m_departements;
    DialogTransaction m_transaction;
    QLineEdit *edtID;
    QLineEdit *edtPrezime;
    QLineEdit *edtIme;
    DepartmentComboBox *cbbSektor;
    QPushButton *btnSektor;
    PhotoBox *imgFotografija;
    QPushButton *btnLoadPhoto;
    QPushButton *btnRemovePhoto;
    QLineEdit *edtPinKod;
    bool m_photoChanged = false;
};

// "Nova osoba": a new row; the department chosen last is pre-selected.
class TfrmNewEmployee : public TfrmEmployeeDialog
{
    Q_OBJECT

public:
    TfrmNewEmployee(TdmMain &dmMain, TdmGZ &dmGZ, TfrmDepartements &departements, QWidget *parent = nullptr);

    void reject() override;

protected:
    void startRow() override;
    bool savePinAgain(const QString &id, const QString &pin) override;
    void resumeRow() override;

private:
    int m_focusedBefore = -1;
};

// "Izmena podataka o osobi": the focused row; saving the PIN also rebuilds the
// PIN-bearing media ID.
class TfrmEditEmployee : public TfrmEmployeeDialog
{
    Q_OBJECT

public:
    TfrmEditEmployee(TdmMain &dmMain, TdmGZ &dmGZ, TfrmDepartements &departements, QWidget *parent = nullptr);

protected:
    void startRow() override;
    bool savePinAgain(const QString &id, const QString &pin) override;
    void resumeRow() override;

private:
    // The person's ID as the database holds it now.
    QString m_storedID;
};
