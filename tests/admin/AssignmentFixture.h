#pragma once

#include "app/uDorvalen.h"
#include "db/NamedQuery.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"

#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

// The program started on a register of six persons (one of them "O'Brien"), six groups
// and six zones, without links; each test adds the links it needs.
class AssignmentProgram
{
public:
    AssignmentProgram();
    ~AssignmentProgram();

    TempDatabase &db() { return *m_db; }
    TfrmDorvalen &window() { return m_program->window(); }

    // Picks the view tab and the detail tab by caption, as the operator clicks them.
    void show(const QString &view, const QString &tab);
    // Focuses the master row whose ID is id.
    void focusMaster(const QString &id);
    // Selects the detail rows named by their kind marker and ID ("P1"; ".G1" for a group
    // row of the zone view) as the operator clicks them: the first alone, the others with
    // Ctrl. No names: the selected rows are deselected.
    void selectDetail(const QStringList &rows);
    // The values of a column of the detail list, in its order.
    QStringList detailColumn(const QString &field);
    // Rows of a link table as "ID|first key|second key|mode" ("ID|person|group" for
    // person-group links), by ID.
    QStringList links(const QString &table);

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<StartedProgram> m_program;
};

// What an assignment dialog showed and how it was answered.
struct AssignAnswer
{
    QStringList choose;     // candidate IDs the operator ctrl-clicks
    int mode = -1;          // access mode chosen, -1: left as it is
    bool cancel = false;    // "Otkaži" instead of "U redu"
    std::function<void()> beforeButton; // runs while the dialog is open
};

struct AssignSeen
{
    QString caption;
    QString prompt;
    QStringList headers;
    QStringList candidates;
    bool hasAccess = false;
    int mode = -1;
};

// Answers the next showing of the assignment dialog objectName; seen is filled from it.
void answerAssign(const QString &objectName, const AssignAnswer &answer, AssignSeen *seen = nullptr);

// Answers the zone view's question with "Osobe" or "Grupe", or cancels it; then runs next.
void answerQuestion(bool groups, bool cancel, const std::function<void()> &next = {});

// The widgets of a shown dialog stand one below the other in this order, each wholly
// inside the dialog, and no label is narrower than its text. The dialog's picture goes to
// the build folder (objectName.png) for a look.
void verifyShownInOrder(QWidget *dialog, const QStringList &names);

// Records and closes every modal window that opens while it lives: for commands that
// must open none.
class NoModalExpected
{
public:
    NoModalExpected();
    QStringList opened() const { return m_opened; }

private:
    QTimer m_timer;
    QStringList m_opened;
};
