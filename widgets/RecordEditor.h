#pragma once

#include "widgets/CatalogueEntry.h"
#include "widgets/FixedDialog.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimeEdit;

// The new- and edit-record dialogs of the catalogues: one labelled field per record
// value (text, a choice or an hh:mm time), for intervals the "always" check box, and a
// confirming and a cancelling button. The window that owns it decides what confirming
// does (confirmed()); cancelling rejects.
class RecordEditor : public FixedDialog
{
    Q_OBJECT

public:
    RecordEditor(const EditorEntry &entry, const QList<CatalogueField> &fields, QWidget *parent);

    const EditorEntry &entry() const { return m_entry; }

    void setChoices(const QString &key, const QList<CatalogueChoice> &choices);
    // Fills the fields; the "always" box follows the times shown.
    void setRecord(const CatalogueRecord &record);
    void clearFields();
    CatalogueRecord record() const;
    // False when a required field is empty (or only blanks).
    bool requiredFilled() const;

    static constexpr const char *TimeFormat = "HH:mm";

signals:
    // Each time it is opened, before it shows.
    void opening();
    void confirmed();

protected:
    void opened() override;

private:
    struct Editor
    {
        CatalogueField field;
        QLabel *label = nullptr;
        QLineEdit *text = nullptr;
        QComboBox *choice = nullptr;
        QTimeEdit *time = nullptr;
    };

    QWidget *widgetOf(const Editor &editor) const;
    QString valueOf(const Editor &editor) const;
    void alwaysToggled(bool on);
    void enableTimes(bool on);

    EditorEntry m_entry;
    QList<Editor> m_editors;
    QCheckBox *m_always = nullptr;
};
