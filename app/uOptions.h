#pragma once

#include "widgets/FixedDialog.h"

class QCheckBox;
class QLineEdit;
class QSettings;

// Edits SleepTime and DebugCtrls: the globals, the sender and the registry. Whatever it
// returns, the main window shows the toolbar that DebugCtrls asks for afterwards.
class TfrmOptions : public FixedDialog
{
    Q_OBJECT

public:
    explicit TfrmOptions(QWidget *parent = nullptr);
    TfrmOptions(QSettings &settings, QWidget *parent = nullptr);

    void btnOKClick();

protected:
    void opened() override;

private:
    QSettings &m_settings;
    QLineEdit *edtSleepTime;
    QCheckBox *chkDebugCtrls;
};
