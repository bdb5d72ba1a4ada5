#pragma once

#include <QComboBox>

// An editable list that fills itself when it opens: aboutToDropDown comes before the
// list shows, so the handler can replace the items.
class DropDownComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DropDownComboBox(QWidget *parent = nullptr);

    void showPopup() override;

    // Replaces the items and keeps the typed text, which may name none of them.
    void setItemsKeepingText(const QStringList &items);

signals:
    void aboutToDropDown();
};
