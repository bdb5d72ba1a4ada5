#include "tools/uUredjaji_status.h"

#include "base/Settings.h"
#include "base/SettingsStore.h"
#include "controllers/ControllerDialogs.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"
#include "link/CommandLink.h"
#include "link/ControllersCatalogue.h"
#include "link/DeviceTable.h"
#include "tools/ControllerCatalogueEditor.h"
#include "widgets/MessageBoxes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QStringList Captions = {QStringLiteral("ID kontrolera"), QStringLiteral("Naziv"), QStringLiteral("Tip"),
                              QStringLiteral("Računar"), QStringLiteral("COM port"), QStringLiteral("ID u DB"),
                              QStringLiteral("Status")};

std::optional<int> decimalNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    bool ok = false;
    const int number = digits.match(text).hasMatch() ? text.toInt(&ok) : 0;
    return ok ? std::optional<int>(number) : std::nullopt;
}

} // namespace

TfrmUredjaji_status::TfrmUredjaji_status(TDeviceTable &devices, TdmGZ &gz, QSettings &registry,
                                         std::function<void()> rebuildFromCatalogue, QWidget *parent)
    : FixedDialog(QStringLiteral("frmUredjaji_status"), QStringLiteral("Status kontrolera"), parent),
      m_devices(devices),
      m_gz(gz),
      m_registry(registry),
      m_rebuildFromCatalogue(std::move(rebuildFromCatalogue)),
      l1(new QTableWidget(0, ColumnCount, this))
{
    l1->setObjectName(QStringLiteral("l1"));
    l1->setHorizontalHeaderLabels(Captions);
    l1->setSelectionBehavior(QAbstractItemView::SelectRows);
    l1->setSelectionMode(QAbstractItemView::SingleSelection);
    l1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l1->setShowGrid(true);
    l1->verticalHeader()->hide();
    l1->setMinimumSize(800, 340);

    auto *row = new QHBoxLayout;
    row->addWidget(l1);
    auto *buttons = new QVBoxLayout;
    auto button = [&](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    btnOK = button(QStringLiteral("btnOK"), QStringLiteral("Preuzmi iz baze"));
    // Kept for its place, but it has nothing to read: there is no such file.
    Button1 = button(QStringLiteral("Button1"), QStringLiteral("Preuzmi iz .ini fajla"));
    Button1->setEnabled(false);
    Button2 = button(QStringLiteral("Button2"), QStringLiteral("Ručni unos"));
    Button4 = button(QStringLiteral("Button4"), QStringLiteral("Izmeni"));
    Button3 = button(QStringLiteral("Button3"), QStringLiteral("Izbriši"));
    Button9 = button(QStringLiteral("Button9"), QStringLiteral("Izbriši sve"));
    buttons->addSpacing(12);
    Button5 = button(QStringLiteral("Button5"), QStringLiteral("Provera statusa"));
    buttons->addStretch();
    Button8 = button(QStringLiteral("Button8"), QStringLiteral("Snimi kao podrazumevajuću postavku"));
    row->addLayout(buttons);
    body()->addLayout(row);
    Button7 = addButton(QStringLiteral("Button7"), QStringLiteral("Zatvori"));

    connect(l1, &QTableWidget::itemSelectionChanged, this, &TfrmUredjaji_status::updateButtons);
    connect(btnOK, &QPushButton::clicked, this, &TfrmUredjaji_status::btnOKClick);
    connect(Button2, &QPushButton::clicked, this, &TfrmUredjaji_status::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmUredjaji_status::Button4Click);
    connect(Button3, &QPushButton::clicked, this, [this] {
        if (selectedRow() >= 0)
            l1->removeRow(selectedRow());
    });
    connect(Button9, &QPushButton::clicked, this, [this] { l1->setRowCount(0); });
    connect(Button5, &QPushButton::clicked, this, &TfrmUredjaji_status::Button5Click);
    connect(Button8, &QPushButton::clicked, this, &TfrmUredjaji_status::Button8Click);
    connect(Button7, &QPushButton::clicked, this, &QDialog::accept);
    updateButtons();
}

void TfrmUredjaji_status::setCatalogueEditor(ControllerCatalogueEditor *editor)
{
    m_editor = editor;
    updateButtons();
}

void TfrmUredjaji_status::Execute(CommandLink &link)
{
    m_link = &link;
    link.Dispatch().registerStatusWindow(this);
    exec();
    link.Dispatch().registerStatusWindow(nullptr);
    m_link = nullptr;
}

std::optional<int> TfrmUredjaji_status::ComPortNumber(const QString &comPort)
{
    static const QRegularExpression com(QStringLiteral("^COM(\\d{1,2})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(comPort);
    return m.hasMatch() ? std::optional<int>(m.captured(1).toInt()) : std::nullopt;
}

void TfrmUredjaji_status::opened()
{
    const int w = l1->width() / 9;
    for (int c = 0; c < ColumnCount; ++c)
        l1->setColumnWidth(c, w);
    l1->setColumnWidth(ColName, l1->width() - 7 * w);

    l1->setRowCount(0);
    // Every device of the table, also past an empty slot a damaged registry left.
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        const TDevice *d = m_devices.Device(slot);
        if (!d)
            continue;
        QStringList cells = {d->ID, d->Name, d->DevType, d->CompName, QStringLiteral("COM%1").arg(d->PortNum)};
        cells << idInDatabase(cells) << NotFound;
        addRow(cells);
    }
    updateButtons();
}

void TfrmUredjaji_status::addRow(const QStringList &cells)
{
    const int row = l1->rowCount();
    l1->insertRow(row);
    for (int c = 0; c < ColumnCount; ++c)
        l1->setItem(row, c, new QTableWidgetItem(cells.value(c)));
}

QStringList TfrmUredjaji_status::rowCells(int row) const
{
    QStringList cells;
    for (int c = 0; c < ColumnCount; ++c)
        cells << l1->item(row, c)->text();
    return cells;
}

QString TfrmUredjaji_status::idInDatabase(const QStringList &cells) const
{
    if (!m_gz.connMain->isOpen())
        return NotFound;
    using SqlText::quoted;
    NamedQuery &q = *m_gz.qAction;
    try {
        q.setText(QStringLiteral("SELECT * FROM tblDorvKontroleri WHERE IDKontrolera = ") + quoted(cells[ColID])
                  + QStringLiteral(" AND Naziv=") + quoted(cells[ColName]) + QStringLiteral(" AND Tip=")
                  + quoted(cells[ColType]) + QStringLiteral(" AND Kompjuter=") + quoted(cells[ColComputer])
                  + QStringLiteral(" AND COMPort=") + quoted(cells[ColComPort]));
        q.open();
        const QString id = q.isEmpty() ? NotFound : q.asString(QStringLiteral("IDKontrolera"));
        q.close();
        return id;
    } catch (const DbError &) {
        q.close();
        return NotFound;
    }
}

void TfrmUredjaji_status::fillFromCatalogue()
{
    NamedQuery &q = *m_gz.qControllers;
    try {
        if (q.isActive())
            q.requery();
        else
            q.open();
        auto text = [&q](int row, const char *field) {
            const int column = q.fieldIndex(QLatin1String(field));
            return column < 0 ? QString() : q.cell(row, column).toString();
        };
        for (int row = 0; row < q.rowCount(); ++row) {
            const QString id = text(row, "IDKontrolera");
            addRow({id, text(row, "Naziv"), text(row, "Tip"), text(row, "Kompjuter"), text(row, "ComPort"), id,
                    NotFound});
        }
    } catch (const DbError &) {
        MessageBoxes::error(this, CatalogueReadErrorText);
    }
    updateButtons();
}

void TfrmUredjaji_status::refreshFromCatalogue()
{
    m_rebuildFromCatalogue();
    l1->setRowCount(0);
    fillFromCatalogue();
}

void TfrmUredjaji_status::btnOKClick()
{
    if (MessageBoxes::question(this, FromDatabaseQuestion, true))
        l1->setRowCount(0);
    fillFromCatalogue();
}

void TfrmUredjaji_status::Button2Click()
{
    if (!m_editor)
        return;
    m_editor->addController();
    // Confirmed or not, the table and the list follow the catalogue.
    refreshFromCatalogue();
}

void TfrmUredjaji_status::Button4Click()
{
    const int row = selectedRow();
    if (!m_editor || row < 0)
        return;
    const QString id = l1->item(row, ColID)->text();
    // The dialog would otherwise edit whatever catalogue row happens to be current.
    bool known = false;
    NamedQuery &q = *m_gz.qAction;
    try {
        q.setText(QStringLiteral("SELECT IDKontrolera FROM tblDorvKontroleri WHERE IDKontrolera = ")
                  + SqlText::quoted(id));
        q.open();
        known = !q.isEmpty();
        q.close();
    } catch (const DbError &) {
        q.close();
        MessageBoxes::error(this, CatalogueReadErrorText);
        return;
    }
    if (!known) {
        MessageBoxes::warning(this, controllerMissingText(id));
        return;
    }
    m_editor->editController(id);
    refreshFromCatalogue();
}

std::optional<std::pair<int, int>> TfrmUredjaji_status::frameFields(int row)
{
    const QString id = l1->item(row, ColID)->text();
    const QString comPort = l1->item(row, ColComPort)->text();
    const std::optional<int> port = ComPortNumber(comPort);
    const std::optional<int> controller = decimalNumber(id);
    if (!port) {
        MessageBoxes::warning(this, QStringLiteral("Kontroler \"%1\": COM port \"%2\" nije COM i broj od jedne ili "
                                                   "dve cifre, npr. COM3.")
                                        .arg(id, comPort));
        return std::nullopt;
    }
    if (!controller) {
        MessageBoxes::warning(this, QStringLiteral("Kontroler \"%1\": ID kontrolera nije ceo broj.").arg(id));
        return std::nullopt;
    }
    return std::make_pair(*port, *controller);
}

void TfrmUredjaji_status::Button5Click()
{
    const int row = selectedRow();
    if (!m_link || row < 0)
        return;
    const std::optional<std::pair<int, int>> fields = frameFields(row);
    if (!fields)
        return;
    // The row's own computer: the table's slot of that number may hold another controller.
    if (m_link->Connect(l1->item(row, ColComputer)->text()))
        m_link->Enqueue(FrameST(fields->first, fields->second));
}

void TfrmUredjaji_status::Button8Click()
{
    const int rows = l1->rowCount();
    const int kept = std::min(rows, int(TDeviceTable::Slots));
    QList<int> ports;
    for (int row = 0; row < kept; ++row) {
        const std::optional<std::pair<int, int>> fields = frameFields(row);
        if (!fields) {
            MessageBoxes::warning(this, QStringLiteral("Lista nije snimljena."));
            return;
        }
        ports << fields->first;
    }
    m_devices.Clear();
    for (int row = 0; row < kept; ++row) {
        const QStringList c = rowCells(row);
        m_devices.Put(row, std::make_unique<TDevice>(c[ColID], c[ColName], c[ColType], QString(), c[ColComputer],
                                                     ports[row]));
    }
    SettingsStore store(m_registry);
    SaveDevicesToRegistry(m_devices, store);
    if (const QString failed = Settings::flush(m_registry); !failed.isEmpty()) {
        MessageBoxes::error(this, failed);
        return;
    }
    const RegistryLoadResult loaded = LoadDevicesFromRegistry(m_devices, store);
    if (!loaded.error.isEmpty())
        MessageBoxes::error(this, loaded.error);
    if (rows > kept) {
        MessageBoxes::information(this, QStringLiteral("Lista ima %1 kontrolera, a tabela uređaja prima najviše "
                                                       "%2; snimljeno je prvih %2.")
                                            .arg(rows)
                                            .arg(TDeviceTable::Slots));
    }
}

void TfrmUredjaji_status::callback(TStringqueue &ReplyTokens)
{
    if (ReplyTokens.Count() == 0 || ReplyTokens.Peek() != u"ST")
        return;
    const QString kind = ReplyTokens.Pop();
    const QString t1 = ReplyTokens.Pop();
    const QString t2 = ReplyTokens.Pop();
    const int row = selectedRow() >= 0 ? selectedRow() : rowOfController(t1, t2);
    if (row >= 0)
        l1->item(row, ColStatus)->setText(kind + u' ' + t1 + u' ' + t2);
}

int TfrmUredjaji_status::rowOfController(const QString &port, const QString &controller) const
{
    // The answer names the port and the controller that answered; the port decides
    // between rows of one controller number.
    const std::optional<int> number = decimalNumber(controller);
    int found = -1;
    for (int r = 0; number && r < l1->rowCount(); ++r) {
        if (decimalNumber(l1->item(r, ColID)->text()) != number)
            continue;
        if (ComPortNumber(l1->item(r, ColComPort)->text()) == decimalNumber(port))
            return r;
        if (found < 0)
            found = r;
    }
    return found;
}

int TfrmUredjaji_status::selectedRow() const
{
    const QModelIndexList rows = l1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TfrmUredjaji_status::updateButtons()
{
    const bool selected = selectedRow() >= 0;
    Button2->setEnabled(m_editor != nullptr);
    Button4->setEnabled(m_editor != nullptr && selected);
    Button3->setEnabled(selected);
    Button5->setEnabled(selected);
}
