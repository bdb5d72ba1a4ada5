#pragma once

#include "widgets/CatalogueWindow.h"

class TdmGZ;

// The zones catalogue, edited on TdmGZ.qZones (in place as well); its editors are
// frmNewZone and frmEditZone.
class TfrmZones : public CatalogueWindow
{
    Q_OBJECT

public:
    TfrmZones(TdmGZ &gz, QWidget *parent);
};
