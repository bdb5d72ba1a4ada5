#include "link/uGlobalVars.h"

#include "base/SettingsStore.h"

TGlobalVars &globals()
{
    static TGlobalVars vars;
    return vars;
}

QSettings &registry()
{
    TGlobalVars &g = globals();
    if (!g.Registry)
        g.Registry = SettingsStore::openProgramSettings();
    return *g.Registry;
}
