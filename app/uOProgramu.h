// Holds TfrmOProgramu, the about box.
#pragma once

#include "widgets/FixedDialog.h"

#include <QPixmap>

// The about box: the logo, the program's name and version, "U redu".
class TfrmOProgramu : public FixedDialog
{
    Q_OBJECT

public:
    explicit TfrmOProgramu(QWidget *parent = nullptr);

    // The program's logo: a door with a touch key, drawn at the given size.
    static QPixmap Logo(int size);
};
