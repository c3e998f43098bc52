#pragma once

#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/unique_handles.h"

namespace lumivo {

// The system folder (System32), where Windows' own DLLs and programs are.
std::u16string SystemFolder();

// The one way the program loads a DLL: by its full path in the system folder, the DLLs it
// imports looked for there first. Older Windows (XP, Vista, 7 without KB2533623) have no way
// to keep a bare name from being looked for beside the program and in the current folder.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A DLL of Windows' own that the exe does not import: loaded the first time one of its
// functions is looked up, so only once a job needs it, and released with this object.
class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* name) : name_(name) {}

  // An exported function, typed as its SDK declaration (decltype(&::Name)); nullptr when the
  // DLL or the function is missing.
  template <class Function>
  Function Find(const char* function) {
    if (!module_) module_.reset(LoadSystemLibrary(name_));
    if (!module_) return nullptr;
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), function)));
  }

  // The DLL stays loaded for the run, past this object: COM's DLLs, once used, since other
  // components may still hold interfaces of theirs after CoUninitialize.
  void KeepLoaded() { static_cast<void>(module_.release()); }

 private:
  const wchar_t* name_;
  UniqueLibrary module_;
};

}  // namespace lumivo
