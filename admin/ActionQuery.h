#pragma once

#include <QString>

class NamedQuery;

// One statement at a time through a data module's statement query (qAction): the text
// is replaced, then run or opened and read. Failures throw DbError.
namespace ActionQuery {

// Runs a statement that returns no rows; the number of rows it changed (-1: unknown).
int execute(NamedQuery &qAction, const QString &sql);
// The field of the first row as text; empty without rows.
QString firstValue(NamedQuery &qAction, const QString &sql, const QString &field);
bool hasRows(NamedQuery &qAction, const QString &sql);
// A change that reached no row did not happen: that is a failure, not a success.
void requireChanged(int rowsChanged, const QString &what);

} // namespace ActionQuery
