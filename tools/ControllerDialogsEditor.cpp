#include "tools/ControllerDialogsEditor.h"

#include "controllers/ControllerDialogs.h"
#include "controllers/NetworkComputers.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"

ControllerDialogsEditor::ControllerDialogsEditor(TdmGZ &gz, std::unique_ptr<NetworkComputers> computers,
                                                 QWidget *parent)
    : m_gz(gz), m_computers(std::move(computers)), m_dialogs(new ControllerDialogs(gz, *m_computers, parent))
{
}

// The dialogs are children of their parent window and go with it.
ControllerDialogsEditor::~ControllerDialogsEditor() = default;

bool ControllerDialogsEditor::addController()
{
    m_gz.qControllers->open();
    return closingCatalogue(m_dialogs->newController());
}

bool ControllerDialogsEditor::editController(const QString &id)
{
    return closingCatalogue(m_dialogs->editController(id));
}

bool ControllerDialogsEditor::closingCatalogue(bool confirmed)
{
    m_gz.qControllers->close();
    return confirmed;
}
