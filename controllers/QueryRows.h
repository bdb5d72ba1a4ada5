#pragma once

#include "db/NamedQuery.h"

// The first row of an open query whose field holds value (compared as text), or -1.
inline int rowWhere(const NamedQuery &query, const QString &field, const QString &value)
{
    const int column = query.fieldIndex(field);
    for (int row = 0; column >= 0 && row < query.rowCount(); ++row) {
        if (query.cell(row, column).toString() == value)
            return row;
    }
    return -1;
}
