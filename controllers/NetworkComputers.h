#pragma once

#include <QStringList>

#include <memory>

class TdmGZ;

// The computers of the local network, for the "Računar" list of the controller dialogs.
class NetworkComputers
{
public:
    virtual ~NetworkComputers() = default;
    // Host names in the order found; empty when the listing failed. May take a few seconds.
    virtual QStringList list() = 0;
};

// This platform's listing: the server enumeration of the domain on Windows; elsewhere this
// computer, the computers the catalogue already names and the hosts the resolver and the
// service discovery of the local network know.
std::unique_ptr<NetworkComputers> platformNetworkComputers(TdmGZ &gz);
