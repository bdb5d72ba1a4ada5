#include "controllers/NetworkComputers.h"

#ifdef Q_OS_WIN
#include "controllers/ServerEnumComputers.h"
#else
#include "controllers/LocalNetworkComputers.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"

#include <QHostInfo>

namespace {

QStringList computersInCatalogue(TdmGZ &gz)
{
    QStringList names;
    try {
        NamedQuery &q = *gz.qAction;
        q.setText(QStringLiteral("SELECT DISTINCT Kompjuter FROM tblDorvKontroleri ORDER BY Kompjuter"));
        q.open();
        for (int row = 0; row < q.rowCount(); ++row)
            names.append(q.cell(row, 0).toString());
        q.close();
    } catch (const DbError &) {
        // The catalogue only adds names; the listing goes on without them.
    }
    return names;
}

} // namespace
#endif

std::unique_ptr<NetworkComputers> platformNetworkComputers([[maybe_unused]] TdmGZ &gz)
{
#ifdef Q_OS_WIN
    return std::make_unique<ServerEnumComputers>();
#else
    return std::make_unique<LocalNetworkComputers>(QHostInfo::localHostName(),
                                                   [&gz] { return computersInCatalogue(gz); });
#endif
}
