#pragma once

namespace lumivo {

// Asks a running Lumivo on this desktop to close, as any close request does (it removes its
// lamp and ends), and waits until its process has ended. The installer runs it before it
// removes the files. True when no copy is left running.
bool CloseRunningCopy();

}  // namespace lumivo
