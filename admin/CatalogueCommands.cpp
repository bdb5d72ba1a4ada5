#include "admin/CatalogueCommands.h"

#include "admin/uAccessPoints.h"
#include "admin/uGroups.h"
#include "admin/uTimeIntervals.h"
#include "admin/uZones.h"
#include "db/uDMMain.h"
#include "widgets/CommandTable.h"
#include "widgets/MainBrowser.h"

CatalogueCommands::CatalogueCommands(MainBrowser &browser, CommandTable &commands, QObject *parent)
    : QObject(parent),
      frmGroups(new TfrmGroups(browser.dataGZ(), browser.dialogParent())),
      frmZones(new TfrmZones(browser.dataGZ(), browser.dialogParent())),
      frmAccessPoints(new TfrmAccessPoints(browser.dataGZ(), browser.dialogParent())),
      frmTimeIntervals(new TfrmTimeIntervals(browser.dataGZ(), browser.dataProperties(), browser.dialogParent())),
      m_browser(browser)
{
    commands.add(QStringLiteral("Grupe1"), [this] {
        frmGroups->exec();
        reread(m_browser.dataMain().qGroups);
    });
    commands.add(QStringLiteral("Zone1"), [this] {
        frmZones->exec();
        reread(m_browser.dataMain().qZones);
    });
    commands.add(QStringLiteral("Tackepristupa1"), [this] { frmAccessPoints->exec(); });
}

void CatalogueCommands::reread(NamedQuery *list)
{
    m_browser.rereadMaster(list);
    NamedQuery *detail = m_browser.detailQuery();
    if (list != m_browser.masterQuery() && detail)
        m_browser.rereadMaster(detail);
}
