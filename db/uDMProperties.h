// Holds TdmProperties.
#pragma once

#include "db/DataModule.h"

// Time intervals, on a connection of their own.
class TdmProperties : public DataModule
{
    Q_OBJECT

public:
    explicit TdmProperties(QObject *parent = nullptr);

    NamedQuery *const qTimeIntervals;
};
