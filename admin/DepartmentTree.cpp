#include "admin/DepartmentTree.h"

#include <QSet>

namespace {

QString key(const QString &id)
{
    return id.toCaseFolded();
}

} // namespace

void DepartmentTree::add(const QString &id, const QString &parentId)
{
    m_parentOf.insert(key(id), key(parentId));
}

bool DepartmentTree::wouldLoop(const QString &parentId, const QStringList &ids) const
{
    QSet<QString> self;
    for (const QString &id : ids) {
        if (!id.isEmpty())
            self.insert(key(id));
    }
    // Walk up from the chosen parent; a loop already stored elsewhere must not hang us.
    QSet<QString> seen;
    for (QString at = key(parentId); !at.isEmpty() && !seen.contains(at); at = m_parentOf.value(at)) {
        if (self.contains(at))
            return true;
        seen.insert(at);
    }
    return false;
}
