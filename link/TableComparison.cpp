#include "link/TableComparison.h"

namespace {

bool secondTableOfTK71D(const TDevice &device, int row)
{
    return device.DevType == u"TK71D" && row >= device.Bank2Start / TDevice::WordsPerSlot;
}

void compareRow(const TDevice &device, int row, TableComparison &result)
{
    const int slot = device.RowIndex(row) / TDevice::WordsPerSlot;
    const QString inController = FormatSlot(device.CtrlImage, slot);
    const QString inDatabase = FormatSlot(device.DBImage, slot);
    if (inController == inDatabase) {
        ++result.match;
        return;
    }
    SlotDifference d;
    d.row = row;
    d.number = TableRowNumber(device, row);
    d.table = TableOfRow(device, row);
    d.controllerMediaId = inController;
    d.databaseMediaId = inDatabase;
    if (inController == EmptySlotText) {
        d.kind = SlotDifference::Kind::MissingFromController;
        ++result.missingFromController;
    } else if (inDatabase == EmptySlotText) {
        d.kind = SlotDifference::Kind::ExtraInController;
        ++result.extraInController;
    } else {
        d.kind = SlotDifference::Kind::Differ;
        ++result.differ;
    }
    result.differences.append(d);
}

} // namespace

int TableRowNumber(const TDevice &device, int row)
{
    if (secondTableOfTK71D(device, row))
        return row - device.Bank2Start / TDevice::WordsPerSlot + 1;
    return row + 1;
}

int TableOfRow(const TDevice &device, int row)
{
    return secondTableOfTK71D(device, row) ? 2 : 1;
}

TableComparison CompareTables(const TDevice &device)
{
    TableComparison result;
    for (int row = 0; row < device.Capacity; ++row)
        compareRow(device, row, result);
    return result;
}

TableComparison CompareTableRows(const TDevice &device, const QList<int> &rows)
{
    TableComparison result;
    for (int row : rows) {
        if (device.HasRow(row))
            compareRow(device, row, result);
    }
    return result;
}
