#include "admin/DepartmentComboBox.h"

#include "db/NamedQuery.h"

#include <QHash>
#include <QList>

#include <algorithm>

DepartmentComboBox::DepartmentComboBox(QWidget *parent) : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(24);
}

void DepartmentComboBox::fill(NamedQuery &departments)
{
    struct Item
    {
        QString id;
        QString text;
    };
    QList<Item> items;
    QHash<QString, int> nameCount;
    const int idField = departments.fieldIndex(QStringLiteral("IDSektora"));
    const int nameField = departments.fieldIndex(QStringLiteral("NazivSektora"));
    if (departments.isActive() && idField >= 0 && nameField >= 0) {
        for (int row = 0; row < departments.rowCount(); ++row) {
            const QString id = departments.cell(row, idField).toString();
            const QString name = departments.cell(row, nameField).toString();
            items.append({id, name.isEmpty() ? id : name});
            ++nameCount[items.last().text.toCaseFolded()];
        }
    }
    for (Item &item : items) {
        if (nameCount.value(item.text.toCaseFolded()) > 1)
            item.text += QStringLiteral(" (%1)").arg(item.id);
    }
    std::sort(items.begin(), items.end(),
              [](const Item &a, const Item &b) { return QString::localeAwareCompare(a.text, b.text) < 0; });

    const QString chosen = departmentID();
    clear();
    addItem(QString(), QString());
    for (const Item &item : items)
        addItem(item.text, item.id);
    setDepartmentID(chosen);
}

void DepartmentComboBox::setDepartmentID(const QString &id)
{
    int found = 0;
    for (int i = 1; i < count() && !id.isEmpty(); ++i) {
        if (itemData(i).toString().compare(id, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    }
    setCurrentIndex(found);
}

QString DepartmentComboBox::departmentID() const
{
    return currentIndex() < 0 ? QString() : currentData().toString();
}
