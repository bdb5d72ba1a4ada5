#pragma once

#include "widgets/CatalogueEntry.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <memory>

class DataGrid;
class NamedQueryModel;
class QPushButton;
class RecordEditor;

// The list window of a catalogue: its list, "Dodaj", "Izmeni", "Izbriši" and "Zatvori",
// and its new- and edit-record editors, all as the catalogue's entry says; the store
// reads and writes the records. The list's queries are open while the window is shown.
// While an editor that closes on confirming is shown, the list is frozen.
class CatalogueWindow : public QDialog
{
    Q_OBJECT

public:
    CatalogueWindow(const CatalogueEntry &entry, std::unique_ptr<CatalogueStore> store, QWidget *parent);
    ~CatalogueWindow() override;

    const CatalogueEntry &entry() const { return m_entry; }
    DataGrid *grid() const { return m_grid; }
    RecordEditor *newEditor() const { return m_newEditor; }
    RecordEditor *editEditor() const { return m_editEditor; }

    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *addButton(const QString &objectName, const QString &text);
    void opened();
    void refreshChoices();
    bool hasFocusedRecord() const;
    CatalogueRecord focusedRecord() const;
    // Runs a write; a database error shows errorText and nothing else.
    bool stored(const QString &errorText, const std::function<void()> &write);
    // Re-reads the list, then focuses the record with key, or else the row shown at viewRow.
    void reread(const QString &key, int viewRow);
    int execFrozen(RecordEditor *editor);
    void confirmNew();
    void confirmEdit();
    bool writeCell(int queryRow, int column, const QVariant &value);
    void postFailed();
    // A cell edited in place and not yet stored is stored before anything else happens.
    void postPendingEdit();

    const CatalogueEntry m_entry;
    const std::unique_ptr<CatalogueStore> m_store;
    NamedQueryModel *m_model;
    DataGrid *m_grid;
    RecordEditor *m_newEditor;
    RecordEditor *m_editEditor;
    CatalogueRecord m_before;
    QHash<QString, QList<CatalogueChoice>> m_choices;
};
