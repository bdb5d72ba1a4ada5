// Holds TfrmOptions.
#pragma once

#include "widgets/FixedDialog.h"

class CommandLink;
class QCheckBox;
class QLineEdit;
class QSettings;

// Edits SleepTime and DebugCtrls: the globals, the sender and the registry. Whatever it
// returns, the main window shows the toolbar that DebugCtrls asks for afterwards.
class TfrmOptions : public FixedDialog
{
    Q_OBJECT

public:
    explicit TfrmOptions(QSettings &settings, QWidget *parent = nullptr);

    // The sender whose sleep time "U redu" adjusts; none until the command link exists.
    void setCommandLink(CommandLink *link) { m_link = link; }

    void btnOKClick();

protected:
    void opened() override;

private:
    QSettings &m_settings;
    CommandLink *m_link = nullptr;
    QLineEdit *edtSleepTime;
    QCheckBox *chkDebugCtrls;
};
