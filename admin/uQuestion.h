#pragma once

#include "widgets/FixedDialog.h"

class QRadioButton;

// The zone view's question before assigning: persons or groups. "Osobe" is chosen each
// time it opens.
class TfrmQuestion : public FixedDialog
{
    Q_OBJECT

public:
    explicit TfrmQuestion(QWidget *parent);

    bool personsChosen() const;

protected:
    void opened() override;

private:
    QRadioButton *rbPersons;
    QRadioButton *rbGroups;
};
