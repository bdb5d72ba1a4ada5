#include "controllers/ServerEnumComputers.h"

#ifdef Q_OS_WIN

#include <qt_windows.h>
#include <lm.h>

QStringList ServerEnumComputers::list()
{
    LPBYTE buffer = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    // Level 101, no size limit, servers of the local domain, from the start.
    const NET_API_STATUS status =
        NetServerEnum(nullptr, 101, &buffer, MAX_PREFERRED_LENGTH, &read, &total, SV_TYPE_SERVER, nullptr, nullptr);
    QStringList names;
    if ((status == NERR_Success || status == ERROR_MORE_DATA) && buffer) {
        const auto *servers = reinterpret_cast<const SERVER_INFO_101 *>(buffer);
        for (DWORD i = 0; i < read; ++i)
            names.append(QString::fromWCharArray(servers[i].sv101_name));
    }
    if (buffer)
        NetApiBufferFree(buffer);
    return names;
}

#endif
