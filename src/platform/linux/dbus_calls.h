#pragma once

#include <QDBusMessage>

#include <chrono>

namespace lumivo {

// Makes a call on the system bus and waits for its reply in an event loop of its own, in which
// the timers keep ticking, as they do in a message box: a call may wait for the user to
// authenticate. The reply is an error when the bus, the service or the time is missing.
QDBusMessage CallSystemBus(const QDBusMessage& call, std::chrono::milliseconds timeout);

}  // namespace lumivo
