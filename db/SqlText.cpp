#include "db/SqlText.h"

namespace SqlText {

QString escaped(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString quoted(const QString &value)
{
    return QLatin1Char('\'') + escaped(value) + QLatin1Char('\'');
}

} // namespace SqlText
