#pragma once

#include <QComboBox>

class NamedQuery;

// A choice of department that shows names and gives the department's ID. The first
// item is empty (no department). A name that several departments share carries the ID
// after it, so they stay apart.
class DepartmentComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DepartmentComboBox(QWidget *parent = nullptr);

    // The rows of a department list (IDSektora, NazivSektora); the chosen department
    // stays chosen if it is still listed.
    void fill(NamedQuery &departments);

    // An ID that names no listed department chooses none.
    void setDepartmentID(const QString &id);
    QString departmentID() const;
};
