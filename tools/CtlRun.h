#pragma once

#include <QTextStream>

struct CtlRequest;

// One run of dorvalen-ctl: the port for the answers, the settings and the database, the
// controllers, the report. Returns the exit status (0, 1 or 2). Needs a running
// QCoreApplication; the event loop runs inside.
int RunCtl(const CtlRequest &request, QTextStream &out, QTextStream &err);
