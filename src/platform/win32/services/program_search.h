#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumivo {

// The program named first in a command line: up to the first space, or the quoted text.
std::u16string FirstProgramName(std::u16string_view commandLine);

// Where a launched program may be found, in the order to try: the system directory and the
// Windows directory always, then each absolute PATH entry that is neither the program's own
// folder nor the current folder, so a file planted beside Lumivo or in the folder it was
// started from cannot run in place of a system program. A name without an extension is tried
// with ".exe". An absolute name is its own only candidate; a relative name with a folder in it
// has none.
struct SearchFolders {
  std::u16string_view systemDirectory;
  std::u16string_view windowsDirectory;
  std::u16string_view pathVariable;
  std::u16string_view programDirectory;
  std::u16string_view currentDirectory;
};

std::vector<std::u16string> ProgramCandidates(std::u16string_view programName,
                                              const SearchFolders& folders);

}  // namespace lumivo
