#include "admin/ActionQuery.h"

#include "db/DbError.h"
#include "db/NamedQuery.h"

namespace ActionQuery {

int execute(NamedQuery &qAction, const QString &sql)
{
    qAction.setText(sql);
    return qAction.execute();
}

QString firstValue(NamedQuery &qAction, const QString &sql, const QString &field)
{
    qAction.setText(sql);
    qAction.open();
    const QString value = qAction.isEmpty() ? QString() : qAction.asString(field);
    qAction.close();
    return value;
}

bool hasRows(NamedQuery &qAction, const QString &sql)
{
    qAction.setText(sql);
    qAction.open();
    const bool any = !qAction.isEmpty();
    qAction.close();
    return any;
}

void requireChanged(int rowsChanged, const QString &what)
{
    if (rowsChanged == 0)
        throw DbError(QStringLiteral("%1: no row was changed").arg(what));
}

} // namespace ActionQuery
