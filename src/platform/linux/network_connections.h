#pragma once

#include <string>

namespace lumivo {

// Asks NetworkManager to bring up the saved connection whose name is that (UTF-8), as the
// Windows dialler dials its entry. Whether NetworkManager runs, has such a connection and
// took the request; the connection comes up, or not, on its own afterwards.
bool BringUpNetworkConnection(const std::string& name);

}  // namespace lumivo
