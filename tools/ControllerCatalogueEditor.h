#pragma once

#include <QString>

// What the status window needs of the controllers catalogue's dialogs: add a controller,
// edit the controller of an ID. Each shows its dialog modally, saves what the operator
// confirms, and returns whether the operator confirmed.
class ControllerCatalogueEditor
{
public:
    virtual ~ControllerCatalogueEditor() = default;
    virtual bool addController() = 0;
    virtual bool editController(const QString &id) = 0;
};
