#pragma once

#include <QStringList>

class Link71Simulator;

// The least a client of the communication server can do: send the frames in batches of
// 60 over plain sockets, one connection each, from a thread of its own, and count the
// answers that come back. The yardstick of the command-link benchmarks.
// Milliseconds until the last answer, or -1 when not every answer came within timeoutMs.
// sim lives in another thread; its answers are pointed at this client.
qint64 RunRawLink71Client(Link71Simulator *sim, quint16 simPort, const QStringList &frames, int timeoutMs);
