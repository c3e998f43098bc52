#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumivo {

// The program named first in a command line: up to the first space, or the quoted text.
std::u16string FirstProgramName(std::u16string_view commandLine);

// Where a launched program may be found, in the order to try: the system directory, the
// Windows directory, then each absolute PATH entry. The program's own folder and the current
// folder are never searched, so a file planted beside Lumivo cannot run in place of a
// system program. A name without an extension is tried with ".exe". An absolute name is
// its own only candidate; a relative name with a folder in it has none.
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
