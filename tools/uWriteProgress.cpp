#include "tools/uWriteProgress.h"

#include "db/DbConnection.h"
#include "link/CommandLink.h"
#include "link/BackgroundImageLoad.h"
#include "link/DeviceTable.h"
#include "widgets/MessageBoxes.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

Q_LOGGING_CATEGORY(lcWriteProgress, "dorvalen.writeprogress")

namespace {

std::optional<int> controllerNumber(const TDevice &device)
{
    bool ok = false;
    const int number = device.ID.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

QString notANumberWarning(const TDevice &device)
{
    return QStringLiteral("Kontroler %1 (%2): ID kontrolera nije ceo broj i kontroler neće biti upisan.")
        .arg(device.ID, device.Name);
}

} // namespace

TfrmWriteProgress::TfrmWriteProgress(TDeviceTable &devices, DbConnection &database, QWidget *parent)
    : FixedDialog(QStringLiteral("frmWriteProgress"), QStringLiteral("Upis u kontrolere"), parent),
      m_devices(devices),
      m_database(database),
      TimerWrite(new QTimer(this)),
      TimerCheck(new QTimer(this))
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // Without a title bar the window needs an edge of its own.
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto *column = new QVBoxLayout(frame);
    auto label = [&](const QString &name, const QString &text) {
        auto *l = new QLabel(text, frame);
        l->setObjectName(name);
        column->addWidget(l);
        return l;
    };
    auto bar = [&](const QString &name) {
        auto *b = new QProgressBar(frame);
        b->setObjectName(name);
        b->setMinimumWidth(360);
        b->setValue(0);
        column->addWidget(b);
        return b;
    };
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Upis u kontrolere ..."));
    lblDevice = label(QStringLiteral("lblDevice"), QStringLiteral("Kontroler 1"));
    ProgressBar1 = bar(QStringLiteral("ProgressBar1"));
    lblAllDevices = label(QStringLiteral("lblAllDevices"), QStringLiteral("Svi kontroleri"));
    ProgressBar2 = bar(QStringLiteral("ProgressBar2"));
    body()->addWidget(frame);

    TimerWrite->setObjectName(QStringLiteral("TimerWrite"));
    TimerCheck->setObjectName(QStringLiteral("TimerCheck"));
    setIntervals(WriteIntervalMs, CheckIntervalMs);
    connect(TimerWrite, &QTimer::timeout, this, &TfrmWriteProgress::TimerWriteTimer);
    connect(TimerCheck, &QTimer::timeout, this, &TfrmWriteProgress::TimerCheckTimer);
}

void TfrmWriteProgress::setIntervals(int writeMs, int checkMs)
{
    TimerWrite->setInterval(writeMs);
    TimerCheck->setInterval(checkMs);
}

void TfrmWriteProgress::Execute(CommandLink &link)
{
    m_link = &link;
    link.Dispatch().registerWriteProgress(this);
    exec();
    // Answers that come after the window has closed are not its business.
    link.Dispatch().registerWriteProgress(nullptr);
    m_link = nullptr;
}

void TfrmWriteProgress::opened()
{
    // The run starts once the window is up, inside its own event loop.
    QTimer::singleShot(0, this, &TfrmWriteProgress::activate);
}

bool TfrmWriteProgress::writable(int slot) const
{
    const TDevice *device = m_devices.Device(slot);
    return device && device->Capacity > 0 && controllerNumber(*device);
}

void TfrmWriteProgress::activate()
{
    if (!m_link)
        return;
    // The overall bar covers every table to be written, each as its own bar does.
    int total = 0;
    QStringList notes;
    for (int slot = 0; slot < m_devices.Count; ++slot) {
        if (writable(slot))
            total += m_devices.Device(slot)->TableEnd();
        else if (const TDevice *device = m_devices.Device(slot); device && device->Capacity > 0)
            notes.append(notANumberWarning(*device));
    }
    ProgressBar2->setRange(0, std::max(total - 1, 0));
    ProgressBar2->setValue(0);
    ProgressBar1->setValue(0);
    CurrentDevice = 0;
    // Stalls count from the start: a controller that never answers ends the run too.
    nLastPos = 0;
    StallCount = 0;
    m_devicePosition = 0;
    m_overallPosition = 0;
    // Frames held back by an earlier stop command would never go.
    m_link->ClearStop();

    const DBImagesLoad load = LoadAllDBImagesInBackground(m_devices, m_database);
    if (!load.error.isEmpty()) {
        MessageBoxes::error(this, load.error + QStringLiteral(" Upis u kontrolere nije izvršen."));
        finish();
        return;
    }
    notes = load.warnings + notes;
    if (!notes.isEmpty())
        MessageBoxes::warning(this, notes.join(u'\n'));
    Active = true;
    TimerWrite->start();
}

void TfrmWriteProgress::TimerWriteTimer()
{
    TimerWrite->stop();
    TimerCheck->start();
    setDevicePosition(0);
    // Devices without a table, or without a number the frames can carry, are passed over.
    while (CurrentDevice < m_devices.Count && !writable(CurrentDevice))
        ++CurrentDevice;
    if (CurrentDevice >= m_devices.Count) {
        TimerCheck->stop();
        finish();
        return;
    }
    const TDevice &device = *m_devices.Device(CurrentDevice);
    lblDevice->setText(QStringLiteral("Kontroler ") + device.ID);
    ProgressBar1->setRange(0, device.TableEnd() - 1);
    WriteDBEEPROM(device.PortNum, CurrentDevice);
}

bool TfrmWriteProgress::WriteDBEEPROM(quint8 port, int slot)
{
    const TDevice *device = m_devices.Device(slot);
    if (!m_link || !device || !m_link->Connect(device->CompName))
        return false;
    const std::optional<int> controller = controllerNumber(*device);
    if (!controller)
        return true;
    const TImage &image = device->DBImage;
    for (int i = device->TableBegin(); i < device->TableEnd(); ++i) {
        // Tables start and end on slot boundaries.
        if (i % TDevice::WordsPerSlot == 0
            && std::all_of(image.begin() + i, image.begin() + i + 4,
                           [](quint16 word) { return word == TDevice::EmptyWord; }))
            i += 3;
        m_link->Enqueue(FrameWE(port, *controller, device->ControllerAddress(i), image[size_t(i)]));
    }
    return true;
}

void TfrmWriteProgress::callbackupis(TStringqueue &ReplyTokens)
{
    if (ReplyTokens.Count() == 0 || ReplyTokens.Peek() != u"WE")
        return;
    ReplyTokens.Pop();
    ReplyTokens.Pop();
    const QString address = ReplyTokens.Pop();
    const QString value = ReplyTokens.Pop();
    TDevice *device = m_devices.Device(CurrentDevice);
    bool isNumber = false;
    const int a = address.toInt(&isNumber);
    const std::optional<int> index = device && isNumber ? device->ImageIndex(a) : std::nullopt;
    // An answer for a word outside the table being written moves nothing.
    if (!index || *index < device->TableBegin() || *index >= device->TableEnd())
        return;

    const int old = m_devicePosition;
    setDevicePosition(*index);
    m_overallPosition += *index - old;
    ProgressBar2->setValue(std::clamp(m_overallPosition, 0, ProgressBar2->maximum()));
    bool isWord = false;
    const uint word = value.toUInt(&isWord);
    if (isWord && word <= 0xFFFF)
        device->CtrlImage[size_t(*index)] = quint16(word);
    qCDebug(lcWriteProgress, "ProgressBar1.Max = %d, ProgressBar1.Position = %d, Addr = %s",
            ProgressBar1->maximum(), m_devicePosition, qPrintable(address));

    if (m_devicePosition == ProgressBar1->maximum()) {
        qCDebug(lcWriteProgress, "!!! Pokrecem upis u sledeci uredjaj");
        ++CurrentDevice;
        TimerWrite->start();
    }
}

void TfrmWriteProgress::TimerCheckTimer()
{
    qCDebug(lcWriteProgress, "Check: ProgressBar1.Position = %d, nLastPos = %d", m_devicePosition, nLastPos);
    if (m_overallPosition == nLastPos) {
        if (StallCount == StallChecks - 1) {
            abandon();
            MessageBoxes::error(this, StallText);
            if (m_link) {
                m_link->CloseListener();
                m_link->Listen();
            }
            finish();
            return;
        }
        ++StallCount;
    } else {
        StallCount = 0;
    }
    nLastPos = m_overallPosition;
}

void TfrmWriteProgress::closeOnCommError()
{
    // CommError has told the operator; the controllers not yet written are skipped.
    abandon();
    finish();
}

void TfrmWriteProgress::abandon()
{
    Active = false;
    TimerWrite->stop();
    TimerCheck->stop();
    if (m_link) {
        m_link->StopCommand();
        m_link->ClearStop();
    }
}

void TfrmWriteProgress::setDevicePosition(int position)
{
    m_devicePosition = position;
    ProgressBar1->setValue(std::clamp(position, 0, ProgressBar1->maximum()));
}

void TfrmWriteProgress::finish()
{
    Active = false;
    TimerWrite->stop();
    TimerCheck->stop();
    if (isVisible())
        done(QDialog::Accepted);
}

void TfrmWriteProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void TfrmWriteProgress::reject()
{
}
