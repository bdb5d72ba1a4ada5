#include "widgets/CatalogueEntry.h"

#include "db/NamedQuery.h"

void CatalogueStore::open()
{
    list()->open();
}

void CatalogueStore::close()
{
    list()->close();
}

QList<CatalogueChoice> CatalogueStore::choices(const QString &) const
{
    return {};
}

void CatalogueStore::newEditorOpened(QWidget *)
{
}
