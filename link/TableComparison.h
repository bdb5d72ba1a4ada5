#pragma once

#include "link/TDevice.h"

#include <QList>
#include <QString>

// One table row whose two images do not hold the same media ID.
struct SlotDifference
{
    enum class Kind {
        Differ,                // both hold a media ID, not the same one
        MissingFromController, // the database has one, the controller's slot is empty
        ExtraInController,     // the controller holds one the database does not
    };

    Kind kind = Kind::Differ;
    int row = 0;    // table row, 0 = the table's first slot
    int number = 0; // the row's number as the table reader shows it ("R.br.")
    int table = 1;  // 2 for the second table of a "TK71D", whose rows are numbered anew
    QString controllerMediaId;
    QString databaseMediaId;
};

// Slot-by-slot comparison of a controller's image with its database image. Slots are
// compared as the table reader compares them: their 16 hexadecimal digits, exactly; an
// empty slot is "FFFFFFFFFFFFFFFF".
struct TableComparison
{
    int match = 0;
    int differ = 0;
    int missingFromController = 0;
    int extraInController = 0;
    // Every row that does not match, in row order.
    QList<SlotDifference> differences;

    int compared() const { return match + differ + missingFromController + extraInController; }
    bool clean() const { return differences.isEmpty(); }
};

inline const QString EmptySlotText = QStringLiteral("FFFFFFFFFFFFFFFF");

// The table reader's row number: r + 1, and for a "TK71D" the second table numbered
// from 1 again.
int TableRowNumber(const TDevice &device, int row);
int TableOfRow(const TDevice &device, int row);

// Compares every row of the device's table.
TableComparison CompareTables(const TDevice &device);
// Compares the given rows only, in the order given; rows outside the table are skipped.
TableComparison CompareTableRows(const TDevice &device, const QList<int> &rows);
