#pragma once

#include "platform/win32/windows_api.h"

#include <memory>
#include <type_traits>

namespace lumivo {

// A std::unique_ptr deleter for a Windows handle type and the function that frees it.
template <class Handle, auto Free>
struct HandleFree {
  using pointer = Handle;
  void operator()(Handle handle) const { Free(handle); }
};

template <class Handle, auto Free>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleFree<Handle, Free>>;

using UniqueIcon = UniqueHandle<HICON, &::DestroyIcon>;
using UniqueBitmap = UniqueHandle<HBITMAP, &::DeleteObject>;
using UniqueMenu = UniqueHandle<HMENU, &::DestroyMenu>;
using UniqueWindow = UniqueHandle<HWND, &::DestroyWindow>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;
using UniqueGlobal = UniqueHandle<HGLOBAL, &::GlobalFree>;
using UniqueLibrary = UniqueHandle<HMODULE, &::FreeLibrary>;

}  // namespace lumivo
