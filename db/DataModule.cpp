#include "db/DataModule.h"

#include "db/DbError.h"

DataModule::DataModule(const QString &name, QObject *parent)
    : QObject(parent), connMain(new DbConnection(this))
{
    setObjectName(name);
}

void DataModule::connectTo(const QString &connectionString)
{
    connMain->setConnectionString(connectionString);
    connMain->open();
}

NamedQuery *DataModule::query(const QString &name) const
{
    NamedQuery *q = findChild<NamedQuery *>(name, Qt::FindDirectChildrenOnly);
    if (!q)
        throw DbError(QStringLiteral("%1: no query named '%2'").arg(objectName(), name));
    return q;
}

NamedQuery *DataModule::addQuery(const QString &name, const QStringList &lines)
{
    auto *q = new NamedQuery(name, connMain, this);
    q->setText(lines.join(QLatin1Char('\n')));
    return q;
}
