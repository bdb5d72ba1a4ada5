#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The department tree as each department's parent ID. IDs compare without regard to
// case, as the database compares them.
class DepartmentTree
{
public:
    void add(const QString &id, const QString &parentId);

    // True when making parentId the parent of a department known by any of ids (its
    // stored ID and the one it is about to get) would close a loop: parentId is that
    // department or one of its descendants.
    bool wouldLoop(const QString &parentId, const QStringList &ids) const;

private:
    QHash<QString, QString> m_parentOf;
};
