#include "platform/win32/windows_api.h"

#include "platform/win32/services/com_apartment.h"

namespace lumivo {

ComApartment::~ComApartment() {
  if (leave_ != nullptr) leave_();
}

// S_FALSE (already in an apartment of this kind) counts as entered and is balanced too.
bool ComApartment::Enter() {
  if (leave_ != nullptr) return true;
  const auto initialize = ole32_.Find<decltype(&::CoInitializeEx)>("CoInitializeEx");
  const auto uninitialize = ole32_.Find<decltype(&::CoUninitialize)>("CoUninitialize");
  if (initialize == nullptr || uninitialize == nullptr ||
      FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
    return false;
  }
  leave_ = uninitialize;
  ole32_.KeepLoaded();
  return true;
}

}  // namespace lumivo
