#include "widgets/QueryBoundStore.h"

#include "db/DbError.h"
#include "db/NamedQuery.h"

void QueryBoundStore::postValues(const CatalogueRecord &record)
{
    try {
        for (auto it = record.constBegin(); it != record.constEnd(); ++it)
            m_query->setValue(it.key(), it.value());
        m_query->post();
    } catch (const DbError &) {
        m_query->cancel();
        throw;
    }
}

void QueryBoundStore::insert(const CatalogueRecord &record)
{
    m_query->insert();
    postValues(record);
}

void QueryBoundStore::update(const CatalogueRecord &, const CatalogueRecord &after)
{
    // The focused row is the one the editor was opened on.
    m_query->edit();
    postValues(after);
}

void QueryBoundStore::remove(const CatalogueRecord &)
{
    m_query->remove();
}
