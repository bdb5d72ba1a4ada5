#pragma once

#include "db/DbConnection.h"
#include "db/NamedQuery.h"

#include <QObject>
#include <QStringList>

// What the three data modules share: one connection of their own, "connMain", and
// named queries on it, found by name as children of the module.
class DataModule : public QObject
{
    Q_OBJECT

public:
    DbConnection *const connMain;

    // Gives the connection its string and opens it; DbError on failure.
    void connectTo(const QString &connectionString);
    NamedQuery *query(const QString &name) const;

protected:
    DataModule(const QString &name, QObject *parent);
    // A query whose text is the given lines joined with line breaks.
    NamedQuery *addQuery(const QString &name, const QStringList &lines);
};
