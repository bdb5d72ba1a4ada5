#pragma once

// TfrmController: the new-controller and edit-controller dialogs (TfrmNewController,
// TfrmEditController), one class driven by ControllerDialogKind.
#include "controllers/ControllerRecords.h"
#include "widgets/FixedDialog.h"

class DropDownComboBox;
class NetworkComputers;
class QComboBox;
class QLineEdit;
class QPushButton;
class TdmGZ;
class TfrmStatus;

// What tells the two dialogs apart.
struct ControllerDialogKind
{
    QString objectName;
    QString caption;
    // The new dialog always adds a controller; the edit dialog edits the focused one.
    bool addsController;
    // "COM port" takes typed text (new) or only the entries of the list (edit).
    bool comPortEditable;
    // The edit dialog's type list ends with an empty entry.
    bool emptyTypeEntry;
    // After "...", the first computer found becomes the record's computer.
    bool selectsFirstComputer;
};

extern const ControllerDialogKind NewControllerDialog;
extern const ControllerDialogKind EditControllerDialog;

// A controller's fields over the pending record of the shared qControllers: "U redu"
// posts it with the controller's touch contacts, "Otkaži" (or closing the dialog)
// discards it. A failed save shows its error and keeps the dialog open with what the
// operator typed, so the entry can be corrected and saved again.
class TfrmController : public FixedDialog
{
    Q_OBJECT

public:
    TfrmController(const ControllerDialogKind &kind, TdmGZ &gz, NetworkComputers &computers, QWidget *parent);

    void setComputers(NetworkComputers &computers) { m_computers = &computers; }

    // Opens qControllers if it is closed (and leaves it open), starts the pending record
    // and shows the dialog modally. True when the controller was saved.
    bool run();
    // The ID saved by the last confirmed showing.
    QString savedId() const { return m_savedId; }

    void btnOKClick();
    void btnComputersClick();

protected:
    void done(int result) override;

private:
    void beginRecord();
    void showRecord();
    void ensurePending();
    ControllerEntry entry() const;
    void writeEntry(const ControllerEntry &entry);

    const ControllerDialogKind m_kind;
    TdmGZ &m_gz;
    NetworkComputers *m_computers;
    QComboBox *const cbbTip;
    QLineEdit *const edtID;
    QLineEdit *const edtNaziv;
    DropDownComboBox *const cbbKompjuter;
    QPushButton *const btnComputers;
    QComboBox *const cbbComPort;
    TfrmStatus *const frmStatus;
    // The ID the edited record was read with; empty while adding a controller.
    QString m_previousId;
    QString m_savedId;
};
