// Holds TdmGZ.
#pragma once

#include "db/DataModule.h"

// The catalogues, assignment candidates, controllers and the statement query of every
// editing window; its transactions serve all editors but the person dialogs.
class TdmGZ : public DataModule
{
    Q_OBJECT

public:
    explicit TdmGZ(QObject *parent = nullptr);

    // Each user replaces the whole text, then executes it or opens it to read one row.
    NamedQuery *const qAction;
    NamedQuery *const qZones;
    NamedQuery *const qGroups;
    NamedQuery *const qAccessPoints;
    NamedQuery *const qAGroups;
    NamedQuery *const qAZones;
    NamedQuery *const qAPersonsToGroups;
    NamedQuery *const qAGroupsToZones;
    NamedQuery *const qAPersonsToZones;
    NamedQuery *const qAssignGroupsToZones;
    NamedQuery *const qDepartments;
    NamedQuery *const qDepartementsZaLookup;
    NamedQuery *const qControllers;
    NamedQuery *const qControllersDet;
    NamedQuery *const viewDorvKontroleri_tackePristupa;
    NamedQuery *const qContollersZaLookup;
    // The media IDs a controller must hold (IDNo, status); parameter idkontrolera.
    NamedQuery *const spPodaciZaKontrolere;
};
