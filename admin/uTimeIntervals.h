#pragma once

#include "widgets/CatalogueWindow.h"

class TdmGZ;
class TdmProperties;

// The time intervals (TdmProperties.qTimeIntervals), written as statements through
// TdmGZ.qAction in a transaction; its editors are frmNewTimeInterval (check box "Uvek",
// stays open to add several) and frmEditTimeInterval (check box "Always").
class TfrmTimeIntervals : public CatalogueWindow
{
    Q_OBJECT

public:
    TfrmTimeIntervals(TdmGZ &gz, TdmProperties &properties, QWidget *parent);
};
