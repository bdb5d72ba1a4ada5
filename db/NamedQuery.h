#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class DbConnection;

// A query held by name: its text with named parameters (":IDZaposlenog", always bound),
// a static client-side result (opening fetches every row into memory), a focused row,
// optionally a master query whose focused row drives the parameters, and for editable
// queries a table that edited rows are written back to, row by row.
// Database failures throw DbError with the driver's text.
class NamedQuery : public QObject
{
    Q_OBJECT

public:
    enum State { Inactive, Browse, Edit, Insert };

    // Where edited rows go.
    struct UpdateTarget
    {
        QString table;
        // Fields that find the row (by their values as read, so a key change works).
        QStringList keyFields;
        // Field -> column. Empty: every field writes the column of the same name.
        QList<QPair<QString, QString>> columns;
        // Fields never written: display only, or assigned by the database.
        QStringList readOnlyFields;
        // Assigned by the database on insert and read back after it.
        QString identityField;
        // Byte fields fetched for the focused row only, when asked for, to keep large
        // photos out of memory. Each must be a bare column in the select list.
        QStringList deferredFields;
    };

    NamedQuery(const QString &name, DbConnection *connection, QObject *parent = nullptr);
    ~NamedQuery() override;

    QString name() const { return objectName(); }
    DbConnection *connection() const { return m_connection; }

    // Replacing the text closes the query and resets the parameters.
    void setText(const QString &text);
    QString text() const { return m_text; }

    QStringList parameterNames() const;
    void setParameter(const QString &name, const QVariant &value);
    QVariant parameter(const QString &name) const;

    // The detail re-runs whenever the master's focused row changes, each parameter
    // taken from the master field of the same name.
    void setMaster(NamedQuery *master);
    NamedQuery *master() const { return m_master; }

    void setUpdateTarget(const UpdateTarget &target) { m_target = target; }
    bool isEditable() const { return !m_target.table.isEmpty(); }

    void open();
    void close();
    // Runs the query again with the current parameters; the master link stays.
    void requery();
    // Runs a statement that returns no rows; returns the number of rows affected.
    int execute();

    bool isActive() const { return m_state != Inactive; }
    State state() const { return m_state; }

    // Field structure of the last result.
    int fieldCount() const { return int(m_record.count()); }
    QString fieldName(int index) const { return m_record.fieldName(index); }
    int fieldIndex(const QString &name) const;

    int rowCount() const { return int(m_rows.size()); }
    int currentRow() const { return m_current; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    // Moving off a row being edited posts it first.
    void moveTo(int row);
    void first();
    void last();
    void next();
    void prior();

    // The focused row's fields by name (without regard to case); null reads as empty.
    QVariant value(const QString &field);
    bool isNull(const QString &field);
    QString asString(const QString &field);
    int asInteger(const QString &field);
    QDateTime asDateTime(const QString &field);
    QByteArray asBytes(const QString &field);

    // A cell as held in memory; a deferred field not yet fetched is an invalid QVariant.
    QVariant cell(int row, int column) const { return m_rows.at(row).at(column); }
    // A cell as the grids show it, with the field's display format.
    QString displayText(int row, int column) const;
    void setDisplayFormat(const QString &field, const QString &format);

    // Editing the focused row (editable queries only).
    void insert();
    void edit();
    void setValue(const QString &field, const QVariant &value);
    void post();
    void cancel();
    void remove();

signals:
    void aboutToReset();
    void reset();
    void rowChanged(int row);
    void currentRowChanged(int row);
    // A detail that failed to follow its master is closed and says why.
    void failed(const QString &text);

private:
    struct Parameter
    {
        QString name;
        QVariant value;
    };

    [[noreturn]] void fail(const QString &text) const;
    void requireActive() const;
    void requireEditable() const;
    int requireField(const QString &field) const;
    qsizetype parameterIndex(const QString &name) const;
    void takeMasterParameters();
    void followMaster();
    void notifyDetails();
    void setCurrent(int row);
    void focusAfterReset(int row);
    void fetch();
    QString fetchText() const;
    void runText(class QSqlQuery &query, const QString &sql) const;
    void bindParameters(class QSqlQuery &query) const;
    void loadDeferred();
    void dropDeferred();
    void checkBrowseMode();
    void writeInTransaction(const std::function<void()> &write);
    QString columnOf(int field) const;
    QList<int> writableFields() const;
    QString keyCondition(const QList<QVariant> &keyRow, QVariantList &binds) const;

    DbConnection *m_connection;
    QString m_text;
    QList<Parameter> m_parameters;
    NamedQuery *m_master = nullptr;
    QList<NamedQuery *> m_details;
    UpdateTarget m_target;
    QHash<QString, QString> m_displayFormats;

    State m_state = Inactive;
    QSqlRecord m_record;
    QHash<QString, int> m_fieldByName;
    QList<QList<QVariant>> m_rows;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    QList<QVariant> m_saved;
    QList<bool> m_modified;
    int m_deferredRow = -1;
};
