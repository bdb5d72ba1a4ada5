#pragma once

#include "widgets/CatalogueWindow.h"

class TdmGZ;

// The access points with the zone each one enters, written as statements through
// TdmGZ.qAction in one transaction; its editors are frmNewAccessPoint and
// frmEditAccessPoint with the zone chooser cxLookupcmbZone.
class TfrmAccessPoints : public CatalogueWindow
{
    Q_OBJECT

public:
    TfrmAccessPoints(TdmGZ &gz, QWidget *parent);
};
