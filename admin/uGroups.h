#pragma once

#include "widgets/CatalogueWindow.h"

class TdmGZ;

// The groups catalogue, edited on TdmGZ.qGroups (in place as well); its editors are
// frmNewGroup and frmEditGroup.
class TfrmGroups : public CatalogueWindow
{
    Q_OBJECT

public:
    TfrmGroups(TdmGZ &gz, QWidget *parent);
};
