#pragma once

namespace lumivo {

// Opens the folder of an optical drive's disc (the letter as Lumivo gives them, D: for the
// first) in the desktop's file manager, mounting the disc through UDisks2 first when it is not
// mounted yet. Whether a folder was opened: a drive that does not exist or has no disc to
// mount has none.
bool OpenDriveFolder(char letter);

}  // namespace lumivo
