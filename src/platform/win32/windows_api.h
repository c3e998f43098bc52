#pragma once

// The Windows SDK as the backend sees it; every backend file includes this first.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#endif

#include <windows.h>

#include <shellapi.h>

// The logic declares these names itself in namespace lumivo (the 32-bit tray record and the
// constants it passes), with the SDK's values; the SDK macros would rewrite its declarations.
#undef NOTIFYICONDATA
#undef NIF_MESSAGE
#undef NIF_ICON
#undef NIF_TIP
#undef NIM_ADD
#undef NIM_DELETE
#undef DRIVE_CDROM
#undef EWX_SHUTDOWN
#undef EWX_REBOOT
#undef HWND_TOPMOST
#undef SWP_SHOWWINDOW
#undef SW_SHOWNORMAL
