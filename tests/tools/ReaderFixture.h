#pragma once

#include "app/uDorvalen.h"
#include "sim/Link71Simulator.h"
#include "tests/support/TempDatabase.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

class QAbstractItemModel;
class QPushButton;
class QTableView;
class TDevice;
class TfrmUredjaji_citanje;

// A row of the controllers catalogue; its touch contacts come with grant().
struct CatalogueController
{
    QString id;
    QString name;
    QString type;
    int port = 3;
};

// The program as an operator starts it, with the debug toolbar, on an SQLite database
// holding the given controllers (all on 127.0.0.1), and the Link71 simulator on ephemeral
// loopback ports answering to the program's listener.
class ReaderFixture
{
public:
    explicit ReaderFixture(const QList<CatalogueController> &controllers, const SimOptions &simOptions = {});
    ~ReaderFixture();

    // The database makes the controller hold mediaIds in table 1 or 2: one person per media
    // ID (O<n> Prezime<n> Ime<n>), each let into a zone of an access point tied to a touch
    // contact of the controller. Returns the persons' labels in the order given.
    QStringList grant(const QString &controller, int table, const QStringList &mediaIds);

    // Writes media IDs straight into the simulated controller's memory, slot by slot from
    // the controller address first, and waits until every word is in.
    void prime(const CatalogueController &controller, int firstAddress, const QStringList &mediaIds);
    // Sends answer texts to the program's listener the way the server does, one
    // connection each, and waits until each has been taken in.
    void answer(const QStringList &texts);

    // Opens the reader through the debug toolbar and runs body while it is shown; closes it
    // afterwards.
    void withReader(const std::function<void(TfrmUredjaji_citanje &)> &body);

    TfrmDorvalen &window() { return *m_window; }
    TfrmUredjaji_citanje &reader();
    Link71Simulator &sim() { return *m_sim; }
    TempDatabase &db() { return m_db; }
    // The device of the device table with this controller ID.
    TDevice &device(const QString &id);

    static QString connectionString(const TempDatabase &db);

private:
    TempDatabase m_db;
    QTemporaryDir m_dir;
    std::unique_ptr<Link71Simulator> m_sim;
    std::unique_ptr<TfrmDorvalen> m_window;
    int m_persons = 0;
    int m_links = 0;
};

// The reader's list as the operator sees it.
QAbstractItemModel *rows(TfrmUredjaji_citanje &reader);
QString cell(TfrmUredjaji_citanje &reader, int row, int column);
bool checked(TfrmUredjaji_citanje &reader, int row);
// Every cell of a column, top to bottom.
QStringList column(TfrmUredjaji_citanje &reader, int column);
QPushButton *button(TfrmUredjaji_citanje &reader, const QString &name);
// Clicks a button and waits until the operation it starts has given the controls back.
void runOperation(TfrmUredjaji_citanje &reader, const QString &buttonName, int timeoutMs = 60000);
void selectRow(TfrmUredjaji_citanje &reader, int row);
// Picks the controller with this ID in the selector, as the operator does.
void selectDevice(TfrmUredjaji_citanje &reader, const QString &id);
// The controller address of a table row's first word.
int rowAddress(const TDevice &device, int row);
