#include "widgets/DropDownComboBox.h"

#include <QLineEdit>

DropDownComboBox::DropDownComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Typing and Enter must not add the text to the list.
    setInsertPolicy(QComboBox::NoInsert);
}

void DropDownComboBox::showPopup()
{
    emit aboutToDropDown();
    QComboBox::showPopup();
}

void DropDownComboBox::setItemsKeepingText(const QStringList &items)
{
    const QString text = currentText();
    clear();
    addItems(items);
    setCurrentIndex(findText(text, Qt::MatchFixedString));
    setEditText(text);
}
