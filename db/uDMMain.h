// Holds TdmMain.
#pragma once

#include "db/DataModule.h"

// The lists of the main window and their details; its transactions serve the person
// dialogs.
class TdmMain : public DataModule
{
    Q_OBJECT

public:
    explicit TdmMain(QObject *parent = nullptr);

    NamedQuery *const qPersons;
    NamedQuery *const qGroups;
    NamedQuery *const qZones;
    NamedQuery *const qPersonsGroups;
    NamedQuery *const qPersonsZones;
    NamedQuery *const qGroupsPersons;
    NamedQuery *const qGroupsZones;
    NamedQuery *const qZonesPG;
    NamedQuery *const qViewMediaIDHist;
    NamedQuery *const qZaposleni_Memorija;
};
