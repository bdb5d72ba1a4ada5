#pragma once

#include "link/CommandLink.h"
#include "sim/Link71Simulator.h"
#include "sim/SimFrames.h"

#include <QStringList>

#include <memory>

// The simulated communication server and the command link to it, both on ephemeral
// loopback ports, the server's answers pointed at the link's listener.
struct LoopbackLink
{
    explicit LoopbackLink(SimOptions options = {})
    {
        options.port = 0;
        sim = std::make_unique<Link71Simulator>(options);
        if (!sim->start())
            qFatal("simulator did not start");
        CommandLinkPorts ports;
        ports.server = sim->port();
        ports.listener = 0;
        ports.listenAddress = QHostAddress::LocalHost;
        link = std::make_unique<CommandLink>(ports);
        if (!link->Listen())
            qFatal("listener did not start");
        sim->setAnswerPort(link->Listener().serverPort());
        link->SetSleepTime(10);
    }

    // Every frame the server received, in order.
    QStringList frames() const
    {
        QStringList out;
        for (const QByteArray &batch : sim->batches()) {
            QByteArray rest = batch;
            for (const QByteArray &frame : TakeFrames(rest))
                out.append(QString::fromLatin1(frame));
        }
        return out;
    }

    std::unique_ptr<Link71Simulator> sim;
    std::unique_ptr<CommandLink> link;
};

