#include "controllers/ControllerModels.h"

namespace ControllerModels {

QStringList names()
{
    return {QStringLiteral("TK71 2.1"), QStringLiteral("TK71"), QStringLiteral("TK71D"), QStringLiteral("TK96"),
            QStringLiteral("TK97")};
}

QList<Contact> contactsOf(const QString &type)
{
    if (type == QLatin1String("TK71 2.1") || type == QLatin1String("TK71"))
        return {{QStringLiteral("1"), 1}, {QStringLiteral("2"), 1}};
    if (type == QLatin1String("TK71D"))
        return {{QStringLiteral("1"), 1}, {QStringLiteral("2"), 2}};
    return {};
}

} // namespace ControllerModels
