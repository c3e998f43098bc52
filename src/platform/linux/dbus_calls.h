#pragma once

#include <QDBusConnection>
#include <QDBusMessage>

#include <chrono>

namespace lumivo {

// Makes a call and waits for its reply without an event loop: on the service worker, where
// nothing else waits, or for a reply that comes at once. The reply is an error when the bus,
// the service or the time is missing.
QDBusMessage CallAndWait(const QDBusConnection& bus, const QDBusMessage& call,
                         std::chrono::milliseconds timeout);

// Whether a service of that name runs on the bus now.
bool ServiceRuns(const QDBusConnection& bus, const QString& name);

}  // namespace lumivo
