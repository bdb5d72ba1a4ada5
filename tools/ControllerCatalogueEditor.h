#pragma once

#include <QString>

class QWidget;

// What the status window needs of the controllers catalogue's dialogs: add a controller,
// edit the controller of an ID. Each shows its dialog modally over parent, saves what
// the operator confirms, and returns whether the operator confirmed.
class ControllerCatalogueEditor
{
public:
    virtual ~ControllerCatalogueEditor() = default;
    virtual bool addController(QWidget *parent) = 0;
    virtual bool editController(QWidget *parent, const QString &id) = 0;
};
