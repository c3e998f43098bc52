#pragma once

namespace lumivo {

// Whether the command line is `lumivo --door VERB [DRIVE]`.
bool IsDoorCommandLine(int argc, const char* const* argv);

// Moves the door as the words after --door ask and gives the exit status: 0 done, 1 for a drive
// that is missing, no optical drive or refused (the reason on standard error), 2 for bad
// arguments (the usage on standard error). Needs no display and is no copy of the program: it
// takes no lock and shows nothing. Call it after the QCoreApplication, for the buses.
int RunDoorCommandLine(int argc, const char* const* argv);

}  // namespace lumivo
