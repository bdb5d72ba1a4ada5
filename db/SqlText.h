#pragma once

#include <QString>

namespace SqlText {

// A value to be placed between single quotes in a statement: apostrophes are doubled,
// so "O'Brien" neither breaks the statement nor changes its meaning.
QString escaped(const QString &value);

// escaped() between the quotes.
QString quoted(const QString &value);

} // namespace SqlText
