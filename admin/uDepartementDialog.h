// TfrmDepartementDialog with its two uses, TfrmNewDepartement and TfrmEditDepartement.
#pragma once

#include "admin/DialogTransaction.h"
#include "widgets/FixedDialog.h"

class DepartmentComboBox;
class NamedQuery;
class QLineEdit;
class TdmGZ;

// A department's ID, name and parent, written by SQL text on TdmGZ's action query inside
// the transaction the dialog holds while it is shown.
class TfrmDepartementDialog : public FixedDialog
{
    Q_OBJECT

public:
    void btnOKClick();
    void reject() override;

protected:
    struct Values
    {
        QString id;
        QString name;
        QString parentId; // empty: no parent
    };

    TfrmDepartementDialog(TdmGZ &dmGZ, const QString &objectName, const QString &caption, const QString &okText,
                          QWidget *parent);

    void opened() override;
    // The fields as the dialog opens.
    virtual Values startValues() const = 0;
    // The ID the department is stored under now; empty for a new one.
    virtual QString storedID() const = 0;
    // The statements of a save; DbError when the database refuses one.
    virtual void write(const Values &values) = 0;
    virtual QString failureText() const = 0;
    // After the commit.
    virtual void saved(const Values &) {}

    // Runs one statement; the number of rows it changed.
    int run(const QString &sql);

private:
    void rereadLookup();
    bool parentWouldLoop(const Values &values) const;

    TdmGZ &m_dmGZ;
    NamedQuery &qLookup;
    DialogTransaction m_transaction;
    QLineEdit *edtIDSektora;
    QLineEdit *edtNazivSektora;
    DepartmentComboBox *cbbNadredjeni;
};

class TfrmNewDepartement : public TfrmDepartementDialog
{
    Q_OBJECT

public:
    explicit TfrmNewDepartement(TdmGZ &dmGZ, QWidget *parent = nullptr);

protected:
    Values startValues() const override { return {}; }
    QString storedID() const override { return QString(); }
    void write(const Values &values) override;
    QString failureText() const override;
};

class TfrmEditDepartement : public TfrmDepartementDialog
{
    Q_OBJECT

public:
    explicit TfrmEditDepartement(TdmGZ &dmGZ, QWidget *parent = nullptr);

    // The focused department, shown when the dialog next opens.
    void setDepartement(const QString &id, const QString &name, const QString &parentId);

protected:
    Values startValues() const override { return m_shown; }
    QString storedID() const override { return m_oldID; }
    void write(const Values &values) override;
    QString failureText() const override;
    void saved(const Values &values) override;
    void opened() override;

private:
    Values m_shown;
    QString m_oldID;
};
