#include "db/uDMProperties.h"

TdmProperties::TdmProperties(QObject *parent)
    : DataModule(QStringLiteral("dmProperties"), parent),
      qTimeIntervals(addQuery(QStringLiteral("qTimeIntervals"),
                              {QStringLiteral("SELECT IDIntervala ID, CONVERT(VARCHAR(5), Od, 108 ) 'From',"),
                               QStringLiteral("CONVERT(VARCHAR(5), Do, 108) 'To'"),
                               QStringLiteral("FROM tblDorvVremenskiIntervali")}))
{
}
