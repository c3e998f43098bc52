#pragma once

#include <QString>

#include <optional>
#include <string>

namespace lumivo {

// Asks NetworkManager to bring up the saved connection of that name, as the Windows dialler
// dials its entry, and waits for the answer: for the service worker only. What to tell the
// user when NetworkManager does not run, has no such connection or refuses it; the connection
// comes up, or not, on its own afterwards.
std::optional<std::u16string> BringUpNetworkConnection(const QString& name);

}  // namespace lumivo
