#pragma once

#include <QObject>

class CommandTable;
class MainBrowser;
class NamedQuery;
class TfrmAccessPoints;
class TfrmGroups;
class TfrmTimeIntervals;
class TfrmZones;

// The catalogue commands of "Konfiguracija": "Grupe", "Zone" and "Tačke pristupa" open
// their windows; after "Grupe" or "Zone" the main window re-reads what it shows of them.
// The time-interval window is made as well, though no command opens it.
class CatalogueCommands : public QObject
{
    Q_OBJECT

public:
    CatalogueCommands(MainBrowser &browser, CommandTable &commands, QObject *parent);

    TfrmGroups *const frmGroups;
    TfrmZones *const frmZones;
    TfrmAccessPoints *const frmAccessPoints;
    TfrmTimeIntervals *const frmTimeIntervals;

private:
    // The main window's list, and its detail list that shows the catalogue's names.
    void reread(NamedQuery *list);

    MainBrowser &m_browser;
};
