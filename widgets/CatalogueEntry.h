#pragma once

#include "db/NamedQueryModel.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantHash>

class NamedQuery;
class QWidget;

// What one catalogue's list window and its two editors differ in. Each catalogue is
// one such entry and a store that reads and writes its records.

// A value of a record, as its editors show it.
struct CatalogueField
{
    enum Kind { Text, Choice, Time };

    QString key{};        // the list query's field it comes from and the store's name for it
    QString objectName{}; // of the editors' field
    Kind kind = Text;
    int maxLength = 50; // Text
    bool required = true;
};

struct EditorEntry
{
    QString objectName{};
    QString caption{};
    QStringList labels{}; // one per field
    QString okText{};
    QString cancelText{};
    // The check box of the "always" interval 00:00-23:59 (Time fields); empty: none.
    QString alwaysText{};
    // Checking it sets the times; otherwise it only disables them.
    bool alwaysSetsTimes = false;
    QString focusKey{};         // field with the input focus when opened; empty: the first
    bool keepsValues = false; // fields keep their values from one opening to the next
    bool staysOpen = false;   // confirming stores and leaves the editor open
};

struct CatalogueTexts
{
    QString requiredWarning{};
    QString deleteQuestion{};
    QString addError{};
    QString editError{};
    QString deleteError{};
};

struct CatalogueEntry
{
    QString objectName{};
    QString caption{};
    QList<NamedQueryModel::Column> columns{};
    QList<CatalogueField> fields{};
    QString keyField{}; // finds a stored record again in the list
    EditorEntry newEditor{};
    EditorEntry editEditor{};
    CatalogueTexts texts{};
    // Double-click switches the list to cell selection, and cells are edited in place.
    bool inPlaceEditing = false;
};

// Field key -> value: texts, a choice's key, times as "hh:mm".
using CatalogueRecord = QVariantHash;

struct CatalogueChoice
{
    QString text{};
    QVariant key{};
};

// Where a catalogue's records come from and go to. Writes throw DbError; each write
// is one transaction, rolled back on failure.
class CatalogueStore
{
public:
    virtual ~CatalogueStore() = default;

    virtual NamedQuery *list() const = 0;
    // The queries the window needs while it is shown.
    virtual void open();
    virtual void close();
    // The values a Choice field offers.
    virtual QList<CatalogueChoice> choices(const QString &key) const;
    // Each time the new-record editor is opened, before its fields are reset.
    virtual void newEditorOpened(QWidget *editor);

    virtual void insert(const CatalogueRecord &record) = 0;
    // before: the record as the list showed it.
    virtual void update(const CatalogueRecord &before, const CatalogueRecord &after) = 0;
    virtual void remove(const CatalogueRecord &focused) = 0;
};
