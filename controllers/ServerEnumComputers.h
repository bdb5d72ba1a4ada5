#pragma once

#include "controllers/NetworkComputers.h"

// Windows: the servers of the local domain as the network API enumerates them.
class ServerEnumComputers : public NetworkComputers
{
public:
    QStringList list() override;
};
