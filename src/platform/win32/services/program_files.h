#pragma once

#include <string>
#include <string_view>

namespace lumivo {

// Whether a path names an existing file; a folder of that name is no file.
bool IsExistingFile(std::u16string_view path);

// The full path of this program's exe, whatever its length; empty when Windows cannot say.
std::u16string PathOfThisProgram();

// The folder of this program's exe, with no backslash at its end ("C:" for C:\Lumivo.exe).
std::u16string FolderOfThisProgram();

}  // namespace lumivo
