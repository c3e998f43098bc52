#pragma once

#include "platform/win32/windows_api.h"

#include <objbase.h>

#include "platform/win32/system_library.h"

namespace lumivo {

// The GUI thread's COM apartment: single-threaded, with OLE1 DDE off, as the shell asks of a
// thread that calls ShellExecute (the handler of a link may be a COM server). Entered before
// the first call that needs it and kept for the run, ole32 with it.
class ComApartment {
 public:
  ComApartment() = default;
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // Whether the thread is in the apartment.
  bool Enter();

 private:
  SystemLibrary ole32_{L"ole32.dll"};
  decltype(&::CoUninitialize) leave_ = nullptr;
};

}  // namespace lumivo
