#pragma once

#include "tools/ControllerCatalogueEditor.h"

#include <memory>

class ControllerDialogs;
class NetworkComputers;
class QWidget;
class TdmGZ;

// "Ručni unos" and "Izmeni" of the status window: the controllers catalogue's new- and
// edit-controller dialogs, shown over parent. qControllers is closed after each, as the
// status window leaves it to the refresh from the catalogue that follows.
class ControllerDialogsEditor : public ControllerCatalogueEditor
{
public:
    ControllerDialogsEditor(TdmGZ &gz, std::unique_ptr<NetworkComputers> computers, QWidget *parent);
    ~ControllerDialogsEditor() override;

    bool addController() override;
    bool editController(const QString &id) override;

private:
    bool closingCatalogue(bool confirmed);

    TdmGZ &m_gz;
    const std::unique_ptr<NetworkComputers> m_computers;
    ControllerDialogs *const m_dialogs;
};
