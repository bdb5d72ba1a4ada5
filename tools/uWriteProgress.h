#pragma once
// TfrmWriteProgress: "Upis u kontrolere", the write of every controller's database image.

#include "link/ReplyConsumers.h"
#include "widgets/FixedDialog.h"

#include <QLoggingCategory>

class CommandLink;
class DbConnection;
class QLabel;
class QProgressBar;
class QTimer;
class TDeviceTable;

// The diagnostic lines of the write to every controller.
Q_DECLARE_LOGGING_CATEGORY(lcWriteProgress)

// Writes the database image of every configured controller into it, one controller after
// the other, and shows the progress. Only the controllers' answers move it on: each "WE"
// answer moves the bars, the answer for the last word of a table starts the next
// controller. A run that gets no answer for StallChecks checks in a row ends with
// "Prekid komunikacije."; what it had not sent yet is discarded. The operator cannot
// close the window.
class TfrmWriteProgress : public FixedDialog, public WriteProgressReplyConsumer
{
    Q_OBJECT

public:
    static constexpr int WriteIntervalMs = 100;
    static constexpr int CheckIntervalMs = 1000;
    static constexpr int StallChecks = 11;
    static inline const QString StallText = QStringLiteral("Prekid komunikacije.");

    TfrmWriteProgress(TDeviceTable &devices, DbConnection &database, QWidget *parent = nullptr);

    // TimerWrite's and TimerCheck's intervals (tests run them in milliseconds).
    void setIntervals(int writeMs, int checkMs);

    // One run over link; returns when the window has closed.
    void Execute(CommandLink &link);

    bool isActive() const override { return Active; }
    void callbackupis(TStringqueue &ReplyTokens) override;
    void closeOnCommError() override;

    // Queues the write of the whole table of the device in slot from its database image:
    // every slot, an empty one only by its last word. False when the communication server
    // could not be reached (CommError has closed the window).
    bool WriteDBEEPROM(quint8 port, int slot);

    // The timers' handlers.
    void TimerWriteTimer();
    void TimerCheckTimer();

    int currentDevice() const { return CurrentDevice; }

protected:
    void opened() override;
    // Alt+F4 and Escape do nothing: only the run closes the window.
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void activate();
    // A device that gets written: one with a table and a controller number.
    bool writable(int slot) const;
    void setDevicePosition(int position);
    void finish();
    // Ends a run that cannot go on: nothing it had queued is sent any more.
    void abandon();

    TDeviceTable &m_devices;
    DbConnection &m_database;
    CommandLink *m_link = nullptr;

    QLabel *Label1;
    QLabel *lblDevice;
    QProgressBar *ProgressBar1;
    QLabel *lblAllDevices;
    QProgressBar *ProgressBar2;
    QTimer *TimerWrite;
    QTimer *TimerCheck;

    int CurrentDevice = 0;
    int nLastPos = 0;
    int StallCount = 0;
    bool Active = false;
    // The bars' positions as counted; a bar ignores a value outside its range.
    int m_devicePosition = 0;
    int m_overallPosition = 0;
};
