#pragma once

#include "widgets/CatalogueEntry.h"

// A catalogue edited on its list's own query: a new record is a row inserted and
// posted, a change is the focused row edited and posted, a deletion removes the focused
// row. A row that fails to post is cancelled, so nothing stays pending.
class QueryBoundStore : public CatalogueStore
{
public:
    explicit QueryBoundStore(NamedQuery *query) : m_query(query) {}

    NamedQuery *list() const override { return m_query; }
    void insert(const CatalogueRecord &record) override;
    void update(const CatalogueRecord &before, const CatalogueRecord &after) override;
    void remove(const CatalogueRecord &focused) override;

private:
    void postValues(const CatalogueRecord &record);

    NamedQuery *m_query;
};
