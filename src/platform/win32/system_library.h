#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/unique_handles.h"

namespace lumivo {

// A DLL of Windows' own that the exe does not import, so that it is loaded only when a job
// needs it; released with this object. The search is the one main sets: the system folder.
class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* name) : module_(::LoadLibraryW(name)) {}

  // An exported function, typed as its SDK declaration (decltype(&::Name)); nullptr when the
  // DLL or the function is missing.
  template <class Function>
  Function Find(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), name)));
  }

 private:
  UniqueLibrary module_;
};

}  // namespace lumivo
