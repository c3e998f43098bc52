#include "platform/win32/services/program_search.h"

#include <algorithm>

namespace lumivo {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsAbsolute(std::u16string_view path) {
  const bool drive = path.size() >= 3 && path[1] == u':' && IsSeparator(path[2]);
  const bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  return drive || unc;
}

std::u16string_view TrimTrailingSeparators(std::u16string_view path) {
  while (path.size() > 3 && IsSeparator(path.back())) path.remove_suffix(1);
  return path;
}

char16_t FoldCase(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

// Windows compares paths without regard to ASCII case.
bool SameFolder(std::u16string_view a, std::u16string_view b) {
  a = TrimTrailingSeparators(a);
  b = TrimTrailingSeparators(b);
  return std::ranges::equal(a, b,
                            [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

bool HasExtension(std::u16string_view name) {
  const auto dot = name.find_last_of(u'.');
  const auto separator = name.find_last_of(u"\\/");
  return dot != std::u16string_view::npos &&
         (separator == std::u16string_view::npos || dot > separator);
}

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(TrimTrailingSeparators(folder));
  if (!path.empty() && !IsSeparator(path.back())) path += u'\\';
  return path + std::u16string(name);
}

}  // namespace

std::u16string FirstProgramName(std::u16string_view commandLine) {
  const auto start = commandLine.find_first_not_of(u' ');
  if (start == std::u16string_view::npos) return {};
  commandLine.remove_prefix(start);
  if (commandLine.front() == u'"') {
    commandLine.remove_prefix(1);
    return std::u16string(commandLine.substr(0, commandLine.find(u'"')));
  }
  return std::u16string(commandLine.substr(0, commandLine.find(u' ')));
}

std::vector<std::u16string> ProgramCandidates(std::u16string_view programName,
                                              const SearchFolders& folders) {
  if (programName.empty()) return {};
  const std::u16string fileName = HasExtension(programName) ? std::u16string(programName)
                                                            : std::u16string(programName) + u".exe";
  if (IsAbsolute(fileName)) return {fileName};
  if (fileName.find_first_of(u"\\/:") != std::u16string::npos) return {};

  std::vector<std::u16string_view> searched;
  std::vector<std::u16string> candidates;
  const auto add = [&](std::u16string_view folder) {
    const auto same = [&](std::u16string_view other) { return SameFolder(folder, other); };
    if (std::ranges::any_of(searched, same)) return;
    searched.push_back(folder);
    candidates.push_back(Join(folder, fileName));
  };
  // Only administrators can write to the system folders, so they are searched first, whatever
  // the program's folder or the current folder is (a logon start runs in the system folder).
  for (std::u16string_view folder : {folders.systemDirectory, folders.windowsDirectory}) {
    if (IsAbsolute(folder)) add(folder);
  }
  std::u16string_view path = folders.pathVariable;
  while (!path.empty()) {
    const auto end = std::min(path.find(u';'), path.size());
    std::u16string_view entry = path.substr(0, end);
    path.remove_prefix(std::min(end + 1, path.size()));
    if (entry.size() >= 2 && entry.front() == u'"' && entry.back() == u'"') {
      entry = entry.substr(1, entry.size() - 2);
    }
    const bool trusted = IsAbsolute(entry) && !SameFolder(entry, folders.programDirectory) &&
                         !SameFolder(entry, folders.currentDirectory);
    if (trusted) add(entry);
  }
  return candidates;
}

}  // namespace lumivo
