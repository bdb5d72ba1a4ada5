#include "link/CommandLink.h"

const QString CommandLink::CommErrorText = QStringLiteral(
    "Greška u TCP/IP komunikaciji sa Link71 aplikacijom preko koje se pristupa odabranom "
    "uređaju. Proverite da li je Link71 pokrenut i dostupan.");

CommandLink::CommandLink(const CommandLinkPorts &ports, std::unique_ptr<BatchTransport> transport,
                         QObject *parent)
    : QObject(parent),
      m_serverPort(ports.server),
      m_sender(m_link, ports.server, std::move(transport)),
      m_listener(ports.listener, ports.listenAddress)
{
    connect(&m_sender, &TPetlja::logLine, this, &CommandLink::logLine);
    connect(&m_sender, &TPetlja::commError, this, &CommandLink::CommError);
    connect(&m_dispatch, &ReplyDispatch::logLine, this, &CommandLink::logLine);
    connect(&m_listener, &ReplyListener::answerReceived, &m_dispatch, &ReplyDispatch::Dispatch);
}

CommandLink::~CommandLink() = default;

bool CommandLink::Listen()
{
    return m_listener.Listen();
}

void CommandLink::CloseListener()
{
    m_listener.Close();
}

bool CommandLink::Connect(const QString &host)
{
    m_host = host;
    if (!ProbeServer(host, m_serverPort)) {
        CommError();
        return false;
    }
    m_sender.Wake();
    return true;
}

void CommandLink::Enqueue(const QString &frame)
{
    m_link.Enqueue(m_host, frame);
    m_sender.Wake();
}

void CommandLink::CommError()
{
    emit commErrorMessage(CommErrorText);
    m_dispatch.CommErrorEffects();
}
