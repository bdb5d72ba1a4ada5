#include "tools/uUredjaji_citanje.h"

#include "db/PinCode.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "link/CommandLink.h"
#include "link/DBImage.h"
#include "link/DeviceTable.h"
#include "link/TableComparison.h"
#include "tools/SlotTableModel.h"
#include "tools/uNewIDtoWrite.h"
#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// The buttons of the window, in the order they stand; what "Prekini čitanje/pisanje"
// gives back at once and what "Sortiraj" gives back afterwards.
struct TfrmUredjaji_citanje::Command
{
    const char *name;
    const char *caption;
    void (TfrmUredjaji_citanje::*handler)();
    bool backAfterStop;
    bool backAfterSort;
};

const TfrmUredjaji_citanje::Command TfrmUredjaji_citanje::Commands[] = {
    {"Button2", "Očitaj selektovani red iz odabranog kontrolera", &TfrmUredjaji_citanje::Button2Click, false, false},
    {"btn1", "Očitaj sve iz odabranog kontrolera", &TfrmUredjaji_citanje::btn1Click, true, false},
    {"btn2", "Očitaj sve iz svih kontrolera", &TfrmUredjaji_citanje::btn2Click, true, false},
    {"ButtonPisisve", "Piši čekirane u odabrani kontroler", &TfrmUredjaji_citanje::ButtonPisisveClick, true, true},
    {"Buttonpisisveusve", "Piši čekirane u sve kontrolere", &TfrmUredjaji_citanje::ButtonpisisveusveClick, true,
     true},
    {"ButtonBrisiredizuredjaja", "Briši selektovani red iz kontrolera",
     &TfrmUredjaji_citanje::ButtonBrisiredizuredjajaClick, true, true},
    {"Buttonbrisisveizuredjaja", "Briši sve iz kontrolera", &TfrmUredjaji_citanje::ButtonbrisisveizuredjajaClick,
     true, true},
    {"btn3", "Prekini čitanje/pisanje", &TfrmUredjaji_citanje::btn3Click, false, false},
    {"ButtonSort", "Sortiraj", &TfrmUredjaji_citanje::ButtonSortClick, true, false},
    {"ButtonManualedit", "Ručni unos", &TfrmUredjaji_citanje::ButtonManualeditClick, true, false},
    {"Button1", "Unos iz baze", &TfrmUredjaji_citanje::Button1Click, false, false},
    {"Button8", "Čekiraj sve", &TfrmUredjaji_citanje::Button8Click, false, false},
    {"Button9", "Poništi čekiranje svih", &TfrmUredjaji_citanje::Button9Click, false, false},
    {"Button7", "Zatvori", &TfrmUredjaji_citanje::Button7Click, false, false},
};

TfrmUredjaji_citanje::TfrmUredjaji_citanje(TDeviceTable &devices, TdmMain &dmMain, TdmGZ &dmGZ, QWidget *parent)
    : FixedDialog(QStringLiteral("frmUredjaji_citanje"), QStringLiteral("Čitanje/pisanje u kontrolere"), parent),
      m_devices(devices),
      m_dmMain(dmMain),
      m_dmGZ(dmGZ),
      m_model(new SlotTableModel(this)),
      frmNewIDtoWrite(new TfrmNewIDtoWrite(this)),
      cb1(new QComboBox(this)),
      l1(new QTableView(this))
{
    cb1->setObjectName(QStringLiteral("cb1"));
    cb1->setEditable(false);
    cb1->setMinimumWidth(320);
    connect(cb1, &QComboBox::currentIndexChanged, this, &TfrmUredjaji_citanje::cb1PropertiesChange);
    auto *selector = new QHBoxLayout;
    selector->addWidget(new QLabel(QStringLiteral("Kontroler"), this));
    selector->addWidget(cb1);
    selector->addStretch();
    body()->addLayout(selector);

    l1->setObjectName(QStringLiteral("l1"));
    l1->setModel(m_model);
    l1->setSelectionBehavior(QAbstractItemView::SelectRows);
    l1->setSelectionMode(QAbstractItemView::SingleSelection);
    l1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l1->setShowGrid(false);
    l1->verticalHeader()->hide();
    // Rows of one height: scrolling a row into view costs the same for every answer.
    l1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    l1->verticalHeader()->setDefaultSectionSize(l1->fontMetrics().height() + 6);
    QHeaderView *header = l1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(SlotTableModel::Korisnik, QHeaderView::Stretch);
    // Wide enough for the caption and for 16 digits, whichever is wider.
    const QFontMetrics metrics = header->fontMetrics();
    const int digits = l1->fontMetrics().horizontalAdvance(EmptySlotText);
    for (int c : {SlotTableModel::Upis, SlotTableModel::RBr, SlotTableModel::Kontroler, SlotTableModel::Baza,
                  SlotTableModel::Status}) {
        const QString caption = m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const bool mediaId = c == SlotTableModel::Kontroler || c == SlotTableModel::Baza;
        l1->setColumnWidth(c, std::max(metrics.horizontalAdvance(caption), mediaId ? digits : 0) + 24);
    }
    l1->setMinimumSize(860, 520);

    auto *middle = new QHBoxLayout;
    middle->addWidget(l1, 1);
    auto *commands = new QVBoxLayout;
    for (const Command &c : Commands) {
        const QString name = QString::fromLatin1(c.name);
        const QString caption = QString::fromUtf8(c.caption);
        QPushButton *button = nullptr;
        if (c.handler == &TfrmUredjaji_citanje::Button7Click) {
            button = addButton(name, caption); // "Zatvori" closes the bottom row
        } else {
            button = new QPushButton(caption, this);
            button->setObjectName(name);
            commands->addWidget(button);
        }
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, c.handler);
        m_buttons.insert(name, button);
    }
    commands->addStretch();
    middle->addLayout(commands);
    body()->addLayout(middle);
    btn3 = m_buttons.value(QStringLiteral("btn3"));

    // Scrolling the list row by row as the answers come in would cost more than the
    // answers themselves; it follows the last compared row a few times a second instead.
    m_scrollTimer.setSingleShot(true);
    m_scrollTimer.setInterval(ScrollIntervalMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, [this] {
        if (m_scrollRow < m_model->rowCount())
            l1->scrollTo(m_model->index(m_scrollRow, 0));
    });
}

TfrmUredjaji_citanje::~TfrmUredjaji_citanje()
{
    if (m_link)
        m_link->Dispatch().registerTableReader(nullptr);
}

void TfrmUredjaji_citanje::setLink(CommandLink *link)
{
    if (link == m_link)
        return;
    if (m_link)
        m_link->Dispatch().registerTableReader(nullptr);
    m_link = link;
    if (m_link)
        m_link->Dispatch().registerTableReader(this);
}

void TfrmUredjaji_citanje::opened()
{
    m_shown = true;
    {
        const QSignalBlocker blocker(cb1);
        cb1->clear();
        for (int slot = 0; slot < m_devices.CountDevices(); ++slot) {
            const TDevice *d = m_devices.Device(slot);
            cb1->addItem(d ? d->ID + QStringLiteral(" - ") + d->Name : QString());
        }
        if (m_dmMain.connMain->isOpen())
            loadDatabaseImages();
        if (cb1->count() > 0)
            cb1->setCurrentIndex(0);
    }
    cb1PropertiesChange();
}

void TfrmUredjaji_citanje::done(int result)
{
    m_shown = false;
    FixedDialog::done(result);
}

TDevice *TfrmUredjaji_citanje::selectedDevice() const
{
    return m_devices.Device(cb1->currentIndex());
}

int TfrmUredjaji_citanje::selectedSlot() const
{
    return cb1->currentIndex();
}

int TfrmUredjaji_citanje::firstSlot() const
{
    const TDevice *d = selectedDevice();
    return d ? d->FirstSlotWord / TDevice::WordsPerSlot : 0;
}

int TfrmUredjaji_citanje::selectedRow(const QString &text)
{
    const QModelIndexList rows = l1->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        MessageBoxes::error(this, text);
        return -1;
    }
    return rows.first().row();
}

QString TfrmUredjaji_citanje::person(const QString &mediaId)
{
    auto known = m_persons.constFind(mediaId);
    if (known == m_persons.constEnd())
        known = m_persons.insert(mediaId, FindPersonByMediaID(m_dmGZ, mediaId));
    return *known;
}

void TfrmUredjaji_citanje::ZasiviDugmad(bool busy)
{
    cb1->setEnabled(!busy);
    for (QPushButton *button : std::as_const(m_buttons))
        button->setEnabled(button == btn3 ? busy : !busy);
}

void TfrmUredjaji_citanje::kreirajpraznutabelu()
{
    m_persons.clear();
    std::vector<SlotRow> rows;
    if (const TDevice *d = selectedDevice()) {
        const bool lookUp = m_dmMain.connMain->isOpen();
        rows.reserve(size_t(d->Capacity));
        for (int r = 0; r < d->Capacity; ++r) {
            SlotRow row;
            row.number = QString::number(TableRowNumber(*d, r));
            row.database = FormatSlot(d->DBImage, r + firstSlot());
            row.checked = true;
            if (lookUp)
                row.person = person(row.database);
            rows.push_back(std::move(row));
        }
    }
    m_model->reset(std::move(rows));
}

void TfrmUredjaji_citanje::cb1PropertiesChange()
{
    kreirajpraznutabelu();
    const TDevice *d = selectedDevice();
    if (!d || !d->Compared)
        return;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        SlotRow row = m_model->row(r);
        row.controller = FormatSlot(d->CtrlImage, r + firstSlot());
        m_model->setRow(r, std::move(row));
        uporedipodatke(r);
    }
}

void TfrmUredjaji_citanje::uporedipodatke(int r)
{
    SlotRow row = m_model->row(r);
    const bool same = row.database == row.controller;
    row.status = same ? SlotTableModel::StatusOK : SlotTableModel::StatusDiffers;
    row.checked = !same;
    if (m_dmMain.connMain->isOpen())
        row.person = same ? person(row.controller)
                          : person(row.controller) + QStringLiteral(" / ") + person(row.database);
    m_model->setRow(r, std::move(row));
    m_scrollRow = r;
    if (!m_scrollTimer.isActive())
        m_scrollTimer.start();
}

void TfrmUredjaji_citanje::finishOperation()
{
    if (TDevice *d = selectedDevice())
        d->Compared = true;
    ZasiviDugmad(false);
}

void TfrmUredjaji_citanje::callbackcitanje(TStringqueue &ReplyTokens)
{
    if (ReplyTokens.Count() > 2)
        takeAnswer(ReplyTokens, QStringLiteral("RE"));
}

void TfrmUredjaji_citanje::callbackpisanje(TStringqueue &ReplyTokens)
{
    takeAnswer(ReplyTokens, QStringLiteral("WE"));
}

void TfrmUredjaji_citanje::takeAnswer(TStringqueue &tokens, const QString &kind)
{
    if (tokens.Peek() != kind)
        return;
    tokens.Pop();
    tokens.Pop();
    const QString addressText = tokens.Pop();
    const QString valueText = tokens.Pop();

    TDevice *d = selectedDevice();
    bool addressOk = false;
    bool valueOk = false;
    const int address = addressText.toInt(&addressOk);
    const uint value = valueText.toUInt(&valueOk);
    // Only an address of the selected device's table reaches a row: any other answer
    // would land in another row or past the end of the list.
    const std::optional<int> index = d && addressOk ? d->ImageIndex(address) : std::nullopt;
    if (!index || *index < d->TableBegin() || *index >= d->TableEnd() || !valueOk || value > 0xFFFF) {
        ignoreAnswer(addressText, valueText);
        return;
    }
    d->CtrlImage[size_t(*index)] = quint16(value);
    if ((*index - 3) % TDevice::WordsPerSlot != 0)
        return;
    const int r = (*index - d->FirstSlotWord - 3) / TDevice::WordsPerSlot;
    if (r >= m_model->rowCount()) {
        ignoreAnswer(addressText, valueText);
        return;
    }
    SlotRow row = m_model->row(r);
    row.checked = false;
    row.number = QString::number(TableRowNumber(*d, r));
    row.controller = FormatSlot(d->CtrlImage, (*index - 3) / TDevice::WordsPerSlot);
    m_model->setRow(r, std::move(row));
    uporedipodatke(r);
    if (r + 1 == d->Capacity || m_singleSlot) {
        finishOperation();
        m_singleSlot = false;
    }
}

void TfrmUredjaji_citanje::ignoreAnswer(const QString &address, const QString &value)
{
    if (m_link)
        emit m_link->logLine(QStringLiteral("Odgovor za adresu %1 (vrednost %2) ne pripada tabeli odabranog "
                                            "kontrolera i nije upisan.")
                                 .arg(address, value));
}

void TfrmUredjaji_citanje::loadDatabaseImages()
{
    const DBImagesLoad load = LoadAllDBImages(m_devices, *m_dmGZ.connMain);
    if (!load.error.isEmpty())
        MessageBoxes::error(this, load.error);
    for (const QString &warning : load.warnings)
        MessageBoxes::warning(this, warning);
}

void TfrmUredjaji_citanje::enableCommands(GivenBack when)
{
    for (const Command &c : Commands) {
        if (when == GivenBack::AfterStop ? c.backAfterStop : c.backAfterSort)
            m_buttons.value(QString::fromLatin1(c.name))->setEnabled(true);
    }
}
