#include "controllers/ControllerDialogs.h"

#include "controllers/QueryRows.h"
#include "controllers/uController.h"
#include "db/DbError.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "widgets/MessageBoxes.h"

ControllerDialogs::ControllerDialogs(TdmGZ &gz, NetworkComputers &computers, QWidget *parent)
    : QObject(parent), frmNewController(new TfrmController(NewControllerDialog, gz, computers, parent)),
      frmEditController(new TfrmController(EditControllerDialog, gz, computers, parent)), m_gz(gz), m_parent(parent)
{
}

bool ControllerDialogs::newController()
{
    m_last = frmNewController;
    return frmNewController->run();
}

bool ControllerDialogs::editController(const QString &id)
{
    NamedQuery &q = *m_gz.qControllers;
    int row = -1;
    try {
        q.open();
        row = rowWhere(q, QStringLiteral("IDKontrolera"), id);
        if (row >= 0)
            q.moveTo(row);
    } catch (const DbError &) {
        MessageBoxes::error(m_parent, CatalogueReadErrorText);
        return false;
    }
    if (row < 0) {
        MessageBoxes::warning(m_parent, controllerMissingText(id));
        return false;
    }
    return editFocused();
}

bool ControllerDialogs::editFocused()
{
    m_last = frmEditController;
    return frmEditController->run();
}

QString ControllerDialogs::savedId() const
{
    return m_last ? m_last->savedId() : QString();
}

void ControllerDialogs::setComputers(NetworkComputers &computers)
{
    frmNewController->setComputers(computers);
    frmEditController->setComputers(computers);
}
