#pragma once

namespace lumivo {

// "Lumivo.exe /door open|close|toggle [X:]": whether the command line is one, and running it.
// The run moves the door and exits (0 done, 1 the drive refused or is missing or no CD drive,
// 2 bad arguments) with no window, box or lamp, beside a running copy or alone.
bool IsDoorCommandLine(const wchar_t* commandLine);
int RunDoorCommandLine();

}  // namespace lumivo
