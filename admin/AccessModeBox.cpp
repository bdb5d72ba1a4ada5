#include "admin/AccessModeBox.h"

#include <QComboBox>

namespace AccessMode {

QStringList entries()
{
    return {QStringLiteral("0 - bez PIN koda"), QStringLiteral("1 - sa PIN kodom"),
            QStringLiteral("2 - i sa i bez PIN koda")};
}

QComboBox *newBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("cmbAccess"));
    box->setEditable(false);
    box->addItems(entries());
    box->setCurrentIndex(0);
    return box;
}

} // namespace AccessMode
