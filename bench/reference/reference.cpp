// The floor for an idle hotkey poller: a hidden window whose 10 ms timer asks for five keys.
// Built the way Lumivo is (MinGW-w64, static) so the two differ only in what the program does.
// With the argument "message-only" the window is a message-only one: under Wine such a thread
// never opens an X connection, so it shows what polling costs without the display's share.
#include <windows.h>

#include <cstring>

namespace {

// The keys Lumivo watches: keypad / * +, F11, F12.
constexpr int kKeys[] = {VK_DIVIDE, VK_MULTIPLY, VK_ADD, VK_F11, VK_F12};
volatile SHORT g_sink;  // keeps the calls from being optimised away

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    SHORT any = 0;
    for (int key : kKeys) any |= GetAsyncKeyState(key);
    g_sink = any;
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const bool messageOnly = std::strstr(commandLine, "message-only") != nullptr;
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"LumivoBenchReference";
  if (!RegisterClassW(&wc)) return 1;
  // Never shown; WM_CLOSE from outside ends it.
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Lumivo bench reference", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                                messageOnly ? HWND_MESSAGE : nullptr, nullptr, instance, nullptr);
  if (!window || !SetTimer(window, 1, 10, nullptr)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
