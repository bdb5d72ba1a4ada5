// TfrmAssign: the six assignment dialogs (TfrmAssignGroups, TfrmAssignZones, TfrmAssignPG,
// TfrmAssignGZ, TfrmAssignZP, TfrmAssignZG), one class driven by AssignmentTable.
#pragma once

#include "admin/AssignmentTable.h"
#include "widgets/FixedDialog.h"

#include <QStringList>

class DataGrid;
class MainBrowser;
class NamedQuery;
class NamedQueryModel;
class QComboBox;
class QLabel;

// Lists what is not yet linked to the focused master row (a person, a group or a zone)
// and links every selected candidate to it on "U redu", all in one transaction.
class TfrmAssign : public FixedDialog
{
    Q_OBJECT

public:
    TfrmAssign(AssignmentTable::Member member, MainBrowser &browser, QWidget *parent);

    const AssignmentTable::MemberSetup &setup() const { return m_setup; }

    // The name of the focused master record, set by whoever opens the dialog.
    void setDisplayName(const QString &name) { m_displayName = name; }

    // The IDs of the selected candidates, in the list's order.
    QStringList selectedCandidates() const;

    void done(int result) override;

protected:
    void opened() override;

private:
    void btnOKClick();
    void rereadLists();
    NamedQuery *masterQuery() const;

    const AssignmentTable::MemberSetup &m_setup;
    MainBrowser &m_browser;
    NamedQuery *const m_candidates;
    NamedQueryModel *const m_model;
    QString m_displayName;
    QLabel *m_prompt;
    DataGrid *m_grid;
    QComboBox *cmbAccess = nullptr;
};
