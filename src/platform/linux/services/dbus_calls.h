#pragma once

#include <QDBusConnection>
#include <QDBusMessage>

#include <chrono>
#include <functional>

namespace lumivo {

// Makes a call and waits for its reply without an event loop: on the service worker, where
// nothing else waits, or for a reply that comes at once. The reply is an error when the bus,
// the service or the time is missing.
QDBusMessage CallAndWait(const QDBusConnection& bus, const QDBusMessage& call,
                         std::chrono::milliseconds timeout);

// Makes a call and returns at once; `answered` gets the reply (or the error) later, from the
// event loop of the calling thread.
void CallThen(const QDBusConnection& bus, const QDBusMessage& call,
              std::chrono::milliseconds timeout,
              std::function<void(const QDBusMessage& reply)> answered);

}  // namespace lumivo
