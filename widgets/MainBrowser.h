#pragma once

#include "widgets/BrowserStates.h"

#include <QString>

class CommandLink;
class DataGrid;
class NamedQuery;
class QWidget;
class TdmGZ;
class TdmMain;
class TdmProperties;

// What the windows' command files see of the main window: its data modules, the state of
// its master/detail browser and the re-reads that keep the focus. The main window is the
// one implementation; the window folders never include it.
class MainBrowser
{
public:
    using View = BrowserStates::View;

    virtual ~MainBrowser() = default;

    // The parent of the windows the commands open.
    virtual QWidget *dialogParent() = 0;

    virtual TdmMain &dataMain() const = 0;
    virtual TdmGZ &dataGZ() const = 0;
    virtual TdmProperties &dataProperties() const = 0;

    virtual View currentView() const = 0;
    virtual QString currentDetailTab() const = 0;
    virtual NamedQuery *masterQuery() const = 0;
    virtual NamedQuery *detailQuery() const = 0;
    virtual DataGrid *masterGrid() const = 0;
    virtual DataGrid *detailGrid() const = 0;
    virtual DataGrid *mediaGrid() const = 0;

    // Keeping the focus across a command: the focused master row's index before, and the
    // same index (or the last row) afterwards, with the detail list re-read.
    virtual int focusedMasterIndex() const = 0;
    virtual void restoreMasterFocus(int index) = 0;
    // Re-reads a list if it is open, keeping the focused index when it is the master list.
    virtual void rereadMaster(NamedQuery *query) = 0;

    // Created by the first-show sequence; null before it.
    virtual CommandLink *link() const = 0;
    // The device table follows the controllers catalogue (rebuilt and cached in the registry).
    virtual void TransferFromDB2Registry() = 0;
};
