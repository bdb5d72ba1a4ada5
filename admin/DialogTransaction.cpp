#include "admin/DialogTransaction.h"

#include "db/DbConnection.h"
#include "db/DbError.h"
#include "widgets/MessageBoxes.h"

bool DialogTransaction::begin(QWidget *parent)
{
    try {
        m_connection.beginTransaction();
        return true;
    } catch (const DbError &e) {
        MessageBoxes::error(parent, e.text());
        return false;
    }
}

void DialogTransaction::commit()
{
    m_connection.commit();
}

void DialogTransaction::rollback()
{
    try {
        m_connection.rollback();
    } catch (const DbError &) {
    }
}

bool DialogTransaction::restart(QWidget *parent)
{
    rollback();
    return begin(parent);
}
