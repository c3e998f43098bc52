#include "platform/win32/windows_api.h"

#include "platform/win32/services/single_instance.h"

namespace lumivo {

// A copy started with other rights (elevated, or as another user of the session) created the
// mutex with a descriptor that does not let this one open it: that copy is running too.
bool SingleInstance::AnotherIsRunning() {
  if (!asked_) {
    asked_ = true;
    mutex_.reset(::CreateMutexW(nullptr, FALSE, L"Local\\Lumivo.SingleInstance"));
    const DWORD error = ::GetLastError();
    anotherIsRunning_ = error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED);
  }
  return anotherIsRunning_;
}

}  // namespace lumivo
