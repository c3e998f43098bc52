#include "platform/win32/windows_api.h"

#include "platform/win32/forms/ole_picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <utility>

#include "platform/win32/forms/com_ptr.h"
#include "platform/win32/forms/device_contexts.h"
#include "platform/win32/system_library.h"

namespace lumivo {
namespace {

constexpr int kHimetricPerInch = 2540;

// The OLE functions the decoding calls, from DLLs loaded for it.
struct OleFunctions {
  decltype(&::CoInitialize) coInitialize;
  decltype(&::CoUninitialize) coUninitialize;
  decltype(&::CreateStreamOnHGlobal) createStreamOnHGlobal;
  decltype(&::OleLoadPicture) oleLoadPicture;

  bool Complete() const {
    return coInitialize && coUninitialize && createStreamOnHGlobal && oleLoadPicture;
  }
};

ComPtr<IStream> StreamOf(std::span<const std::byte> file, const OleFunctions& ole) {
  ComPtr<IStream> stream;
  UniqueGlobal copy(::GlobalAlloc(GMEM_MOVEABLE, file.size()));
  if (!copy) return stream;
  void* target = ::GlobalLock(copy.get());
  if (target == nullptr) return stream;
  std::memcpy(target, file.data(), file.size());
  ::GlobalUnlock(copy.get());
  // The stream frees the memory from here on.
  if (SUCCEEDED(ole.createStreamOnHGlobal(copy.get(), TRUE, stream.Receive()))) copy.release();
  return stream;
}

// Every COM object is released when this returns, before OLE is.
RenderedPicture Render(std::span<const std::byte> file, const OleFunctions& ole) {
  RenderedPicture rendered;
  ComPtr<IStream> stream = StreamOf(file, ole);
  ComPtr<IPicture> picture;
  if (!stream ||
      FAILED(ole.oleLoadPicture(stream.Get(), 0, FALSE, IID_IPicture, picture.ReceiveVoid()))) {
    return rendered;
  }
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  const ScreenDC screen;
  const SIZE size{::MulDiv(width, ::GetDeviceCaps(screen.Get(), LOGPIXELSX), kHimetricPerInch),
                  ::MulDiv(height, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), kHimetricPerInch)};
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
  if (!bitmap) return rendered;
  {
    const BitmapDC target(screen.Get(), bitmap.get());
    const RECT area{0, 0, size.cx, size.cy};
    ::FillRect(target.Get(), &area, ::GetSysColorBrush(COLOR_BTNFACE));
    // OLE pictures are drawn from their bottom-left corner upwards.
    picture->Render(target.Get(), 0, 0, size.cx, size.cy, 0, height, width, -height, nullptr);
  }
  rendered.bitmap = std::move(bitmap);
  rendered.size = size;
  return rendered;
}

}  // namespace

RenderedPicture RenderOlePicture(std::span<const std::byte> file) {
  SystemLibrary ole32(L"ole32.dll");
  SystemLibrary oleaut32(L"oleaut32.dll");
  const OleFunctions ole{
      ole32.Find<decltype(&::CoInitialize)>("CoInitialize"),
      ole32.Find<decltype(&::CoUninitialize)>("CoUninitialize"),
      ole32.Find<decltype(&::CreateStreamOnHGlobal)>("CreateStreamOnHGlobal"),
      oleaut32.Find<decltype(&::OleLoadPicture)>("OleLoadPicture"),
  };
  if (!ole.Complete() || FAILED(ole.coInitialize(nullptr))) return {};
  RenderedPicture rendered = Render(file, ole);
  // Also lets go of the decoders OLE loaded for the picture; ole32 and oleaut32 stay.
  ole.coUninitialize();
  ole32.KeepLoaded();
  oleaut32.KeepLoaded();
  return rendered;
}

}  // namespace lumivo
