#include "platform/win32/windows_api.h"

#include "platform/win32/single_instance.h"

namespace lumivo {

bool SingleInstance::AnotherIsRunning() {
  if (!mutex_) {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, L"Local\\Lumivo.SingleInstance"));
    anotherIsRunning_ = ::GetLastError() == ERROR_ALREADY_EXISTS;
  }
  return anotherIsRunning_;
}

}  // namespace lumivo
