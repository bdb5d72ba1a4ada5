#pragma once

#include "link/DBImage.h"

class DbConnection;
class TDeviceTable;

// LoadAllDBImages on a thread of its own, over a connection of its own to the database
// of connection, while this thread's event loop goes on (windows keep painting; input is
// held back). The images reach the table's devices once the load is done; the load works
// on copies, so nothing else touches the table meanwhile; a failed load leaves the images
// as they were.
DBImagesLoad LoadAllDBImagesInBackground(TDeviceTable &table, const DbConnection &connection);
