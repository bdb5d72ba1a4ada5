#pragma once

#include "link/MemoryCommands.h"
#include "link/ReplyConsumers.h"
#include "widgets/FixedDialog.h"

#include <QHash>
#include <QPointer>
#include <QTimer>

class CommandLink;
class QComboBox;
class QPushButton;
class QTableView;
class SlotTableModel;
class TDevice;
class TDeviceTable;
class TdmGZ;
class TdmMain;
class TfrmNewIDtoWrite;

// "Čitanje/pisanje u kontrolere": one configured controller's table slot by slot, what
// the controller holds (its controller image) beside what the database says it should
// hold (its database image). Reads, compares, sorts, edits by hand, writes and erases.
// The controller's answers arrive through the reply dispatch: every "RE" answer, and
// "WE" answers while the window is shown.
class TfrmUredjaji_citanje : public FixedDialog, public TableReaderReplyConsumer
{
    Q_OBJECT

public:
    TfrmUredjaji_citanje(TDeviceTable &devices, TdmMain &dmMain, TdmGZ &dmGZ, QWidget *parent = nullptr);
    ~TfrmUredjaji_citanje() override;

    // The command link the commands go through; the window registers with its dispatch.
    void setLink(CommandLink *link);

    // TableReaderReplyConsumer
    bool isShown() const override { return m_shown; }
    void callbackcitanje(TStringqueue &ReplyTokens) override;
    void callbackpisanje(TStringqueue &ReplyTokens) override;
    // busy: only "Prekini čitanje/pisanje" stays enabled; not busy: every control but it.
    void ZasiviDugmad(bool busy) override;

    // The rows of the selected device, every one checked, the controller column empty.
    void kreirajpraznutabelu();
    // Device change: the empty table, then, once the device has been compared, the
    // controller column from its controller image, every row compared.
    void cb1PropertiesChange();
    // Compares the two media-ID cells of row r and brings it into view (within
    // ScrollIntervalMs).
    void uporedipodatke(int r);
    // The end of an operation: the device counts as compared, every control comes back.
    void finishOperation();

    // The commands, by component.
    void Button2Click();
    void btn1Click();
    void btn2Click();
    void ButtonPisisveClick();
    void ButtonpisisveusveClick();
    void ButtonBrisiredizuredjajaClick();
    void ButtonbrisisveizuredjajaClick();
    void btn3Click();
    void ButtonSortClick();
    void ButtonManualeditClick();
    void Button1Click();
    void Button8Click();
    void Button9Click();
    void Button7Click();

    bool singleSlot() const { return m_singleSlot; }

    static constexpr int ScrollIntervalMs = 40;

protected:
    void opened() override;
    void done(int result) override;

private:
    struct Command;
    static const Command Commands[];
    // The buttons that "Prekini čitanje/pisanje" and "Sortiraj" give back.
    enum class GivenBack { AfterStop, AfterSort };
    void enableCommands(GivenBack when);

    TDevice *selectedDevice() const;
    int selectedSlot() const;
    // The selected row of the list, or -1 after telling the operator with text.
    int selectedRow(const QString &text);
    // The first slot number of the table: row r is slot r + firstSlot().
    int firstSlot() const;
    // "ID Prezime Ime" of the media ID's holder. Looked up once per operation: a whole
    // table asks for the same media IDs again as its answers come in.
    QString person(const QString &mediaId);
    void takeAnswer(TStringqueue &tokens, const QString &kind);
    void ignoreAnswer(const QString &address, const QString &value);
    // Starts an operation that runs with the controls grayed out.
    void beginOperation(bool singleSlot);
    // Tells the operator what went wrong; a grayed operation that queued nothing ends.
    void report(const MemoryCommandResult &result, bool grayed);
    void loadDatabaseImages();
    // One pass of "Sortiraj": rows [from, to) against database cells in [searchFrom, searchTo).
    void sortPass(int from, int to, int searchFrom, int searchTo);
    void swapDatabaseCells(int i, int j);

    TDeviceTable &m_devices;
    TdmMain &m_dmMain;
    TdmGZ &m_dmGZ;
    QPointer<CommandLink> m_link;
    SlotTableModel *const m_model;
    TfrmNewIDtoWrite *const frmNewIDtoWrite;
    QComboBox *cb1;
    QTableView *l1;
    QHash<QString, QPushButton *> m_buttons;
    QPushButton *btn3 = nullptr;
    QHash<QString, QString> m_persons;
    QTimer m_scrollTimer;
    int m_scrollRow = 0;
    bool m_shown = false;
    bool m_singleSlot = false;
};
