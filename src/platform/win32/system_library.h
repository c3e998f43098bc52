#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/unique_handles.h"

namespace lumivo {

// A DLL of Windows' own that the exe does not import: loaded the first time one of its
// functions is looked up, so only once a job needs it, and released with this object. The
// search is the one main sets: the system folder.
class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* name) : name_(name) {}

  // An exported function, typed as its SDK declaration (decltype(&::Name)); nullptr when the
  // DLL or the function is missing.
  template <class Function>
  Function Find(const char* function) {
    if (!module_) module_.reset(::LoadLibraryW(name_));
    if (!module_) return nullptr;
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), function)));
  }

 private:
  const wchar_t* name_;
  UniqueLibrary module_;
};

}  // namespace lumivo
