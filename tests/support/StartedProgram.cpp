#include "tests/support/StartedProgram.h"

#include "widgets/MessageBoxes.h"
#include "base/SettingsStore.h"
#include "link/uGlobalVars.h"
#include "tests/support/ModalDriver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

void answerLogin(const QString &password, bool cancel, const QStringList &then)
{
    whenModalShown(
        [=](QWidget *dialog) {
            if (cancel) {
                child<QPushButton>(dialog, "btnCancel")->click();
                return;
            }
            child<QLineEdit>(dialog, "edtPassword")->setText(password);
            child<QPushButton>(dialog, "btnOK")->click();
            if (!then.isEmpty())
                answerLogin(then.first(), false, then.mid(1));
        },
        QStringLiteral("frmPassword"));
}

CommandLinkPorts testPorts()
{
    CommandLinkPorts ports;
    ports.server = 1;
    ports.listener = 0;
    ports.listenAddress = QHostAddress::LocalHost;
    return ports;
}

StartedProgram::StartedProgram(const QString &connectionString, const CommandLinkPorts &ports)
{
    MessageBoxes::setScripted(true);
    globals() = TGlobalVars();
    globals().Registry = SettingsStore::openFile(m_dir.filePath(QStringLiteral("registry.reg")));
    SettingsStore store(registry());
    store.openKey(QStringLiteral("DataBase"), true);
    store.writeString(QStringLiteral("ConnectionString"), connectionString);

    answerLogin(QStringLiteral("tinsmoke"));
    m_window = std::make_unique<TfrmDorvalen>(ports);
    m_window->resize(1100, 700);
    m_window->show();
    QTRY_VERIFY(m_window->link() != nullptr);
}

StartedProgram::~StartedProgram()
{
    m_window.reset();
    globals() = TGlobalVars();
}
