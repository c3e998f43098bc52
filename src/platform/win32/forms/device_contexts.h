#pragma once

#include "platform/win32/windows_api.h"

namespace lumivo {

// The screen's device context, for measuring.
class ScreenDC {
 public:
  ScreenDC() : dc_(::GetDC(nullptr)) {}
  ~ScreenDC() { ::ReleaseDC(nullptr, dc_); }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// A memory device context compatible with another, with a bitmap selected into it for drawing
// into it or copying from it.
class BitmapDC {
 public:
  BitmapDC(HDC compatible, HBITMAP bitmap)
      : dc_(::CreateCompatibleDC(compatible)), previous_(::SelectObject(dc_, bitmap)) {}
  ~BitmapDC() {
    ::SelectObject(dc_, previous_);
    ::DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint and EndPaint around the drawing of one WM_PAINT.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { ::BeginPaint(window_, &paint_); }
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC Get() const { return paint_.hdc; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

}  // namespace lumivo
