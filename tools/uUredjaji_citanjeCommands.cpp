// The commands of TfrmUredjaji_citanje: reading, writing and erasing through the memory
// commands, stopping, sorting, manual entry, reloading and the check boxes.
#include "tools/uUredjaji_citanje.h"

#include "link/CommandLink.h"
#include "link/DeviceTable.h"
#include "link/TableComparison.h"
#include "tools/SlotTableModel.h"
#include "tools/uNewIDtoWrite.h"
#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace {

const QString NoRowSelectedText = QStringLiteral("Nije selektovan nijedan red u listi.");
const QString ManualNoRowText = QStringLiteral("Za rucni unos morate selektovati red u tabeli!");
const QString NotAvailableText = QStringLiteral("Ova funkcija trenutno nije omogućena.");
const QString DeleteRowQuestion =
    QStringLiteral("Da li ste sigurni da želite da obrišete selektovani red iz kontrolera?");
const QString DeleteAllQuestion =
    QStringLiteral("Da li ste sigurni da želite da obrišete sve redove iz kontrolera?");

} // namespace

void TfrmUredjaji_citanje::beginOperation(bool singleSlot)
{
    m_singleSlot = singleSlot;
    m_persons.clear();
    m_link->ClearStop();
    ZasiviDugmad(true);
}

void TfrmUredjaji_citanje::report(const MemoryCommandResult &result, bool grayed)
{
    if (!result.error.isEmpty()) {
        MessageBoxes::error(this, result.error);
        if (grayed)
            ZasiviDugmad(false);
        return;
    }
    // No answer will come for an operation that queued nothing (a type without a table).
    if (grayed && result.connected && result.framesQueued == 0) {
        m_singleSlot = false;
        finishOperation();
    }
}

void TfrmUredjaji_citanje::btn1Click()
{
    if (!m_link)
        return;
    beginOperation(false);
    kreirajpraznutabelu();
    const TDevice *d = selectedDevice();
    report(ReadEEPROM(*m_link, m_devices, d ? d->PortNum : 0, selectedSlot()), true);
}

void TfrmUredjaji_citanje::Button2Click()
{
    if (!m_link)
        return;
    const int r = selectedRow(NoRowSelectedText);
    if (r < 0)
        return;
    beginOperation(true);
    const TDevice *d = selectedDevice();
    report(ReadEEPROM_jedan(*m_link, m_devices, d ? d->PortNum : 0, selectedSlot(), quint8(r)), true);
    uporedipodatke(r);
}

void TfrmUredjaji_citanje::ButtonPisisveClick()
{
    if (!m_link)
        return;
    m_singleSlot = false;
    TDevice *d = selectedDevice();
    if (d) {
        for (int r = 0; r < m_model->rowCount(); ++r) {
            const bool checked = m_model->row(r).checked;
            d->WriteFlags[size_t(r + firstSlot())] = checked ? 1 : 0;
            if (checked)
                m_model->setStatus(r, SlotTableModel::StatusWriting);
        }
    }
    report(WriteDBEEPROM(*m_link, m_devices, d ? d->PortNum : 0, selectedSlot()), false);
}

void TfrmUredjaji_citanje::ButtonBrisiredizuredjajaClick()
{
    if (!m_link)
        return;
    const int r = selectedRow(NoRowSelectedText);
    if (r < 0 || !MessageBoxes::question(this, DeleteRowQuestion, true))
        return;
    beginOperation(true);
    TDevice *d = selectedDevice();
    if (d) {
        d->WriteFlags[size_t(r + firstSlot())] = 1;
        SetCtrlSlot(m_devices, selectedSlot(), r, EmptySlotText);
    }
    report(WriteEEPROM_jedan(*m_link, m_devices, d ? d->PortNum : 0, selectedSlot(), quint8(r)), true);
}

void TfrmUredjaji_citanje::ButtonbrisisveizuredjajaClick()
{
    if (!m_link || !MessageBoxes::question(this, DeleteAllQuestion, true))
        return;
    beginOperation(true);
    TDevice *d = selectedDevice();
    if (d) {
        for (int r = 0; r < m_model->rowCount(); ++r) {
            d->WriteFlags[size_t(r + firstSlot())] = 1;
            m_model->setStatus(r, SlotTableModel::StatusWriting);
            SetCtrlSlot(m_devices, selectedSlot(), r, EmptySlotText);
        }
    }
    report(WriteEEPROM(*m_link, m_devices, d ? d->PortNum : 0, selectedSlot()), true);
}

void TfrmUredjaji_citanje::btn3Click()
{
    enableCommands(GivenBack::AfterStop);
    btn3->setEnabled(false);
    if (m_link)
        m_link->StopCommand();
}

void TfrmUredjaji_citanje::btn2Click()
{
    MessageBoxes::information(this, NotAvailableText);
}

void TfrmUredjaji_citanje::ButtonpisisveusveClick()
{
    MessageBoxes::information(this, NotAvailableText);
}

void TfrmUredjaji_citanje::ButtonSortClick()
{
    if (const TDevice *d = selectedDevice()) {
        const int rows = m_model->rowCount();
        if (d->DevType == u"TK71D") {
            // The second table is lined up only within itself.
            const int secondTable = std::min(d->Bank2Start / TDevice::WordsPerSlot, rows);
            sortPass(0, secondTable, 0, rows);
            sortPass(secondTable, rows, secondTable, rows);
        } else {
            sortPass(0, rows, 0, rows);
        }
    }
    l1->viewport()->update();
    enableCommands(GivenBack::AfterSort);
}

void TfrmUredjaji_citanje::sortPass(int from, int to, int searchFrom, int searchTo)
{
    for (int i = from; i < to; ++i) {
        const QString c = m_model->row(i).controller;
        if (c == EmptySlotText || c == m_model->row(i).database)
            continue;
        for (int j = searchFrom; j < searchTo; ++j) {
            if (m_model->row(j).database == c) {
                swapDatabaseCells(i, j);
                uporedipodatke(i);
                uporedipodatke(j);
                break;
            }
        }
    }
}

void TfrmUredjaji_citanje::swapDatabaseCells(int i, int j)
{
    SlotRow first = m_model->row(i);
    SlotRow second = m_model->row(j);
    std::swap(first.database, second.database);
    SetDBSlot(m_devices, selectedSlot(), i, first.database);
    SetDBSlot(m_devices, selectedSlot(), j, second.database);
    m_model->setRow(i, std::move(first));
    m_model->setRow(j, std::move(second));
}

void TfrmUredjaji_citanje::ButtonManualeditClick()
{
    const int r = selectedRow(ManualNoRowText);
    if (r < 0)
        return;
    frmNewIDtoWrite->fill(cb1->currentText(), r + 1);
    if (frmNewIDtoWrite->exec() != QDialog::Accepted)
        return;
    const QString mediaId = frmNewIDtoWrite->mediaId();
    SlotRow row = m_model->row(r);
    row.database = mediaId;
    row.status = SlotTableModel::StatusManual;
    m_model->setRow(r, std::move(row));
    SetDBSlot(m_devices, selectedSlot(), r, mediaId);
    if (TDevice *d = selectedDevice())
        d->ManualFlags[size_t(r)] = 1;
}

void TfrmUredjaji_citanje::Button1Click()
{
    loadDatabaseImages();
    cb1PropertiesChange();
}

void TfrmUredjaji_citanje::Button8Click()
{
    m_model->setAllChecked(true);
}

void TfrmUredjaji_citanje::Button9Click()
{
    m_model->setAllChecked(false);
}

void TfrmUredjaji_citanje::Button7Click()
{
    reject();
}
