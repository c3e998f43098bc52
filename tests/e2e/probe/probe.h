// The probe's commands, one function each, and what they share. A command gets the words that
// follow its name on the command line and returns the probe's exit code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using Command = int (*)(int count, wchar_t** args);

// output.cpp: one record a line on stdout, flushed at once (the harness reads it while we run).
std::string Utf8(const wchar_t* text);
std::string Json(const std::string& text);  // as a quoted JSON string
void Print(const std::string& line);
UINT_PTR NumberArg(const wchar_t* text);  // decimal, or hex with 0x
HWND HandleArg(const wchar_t* text);

// window_commands.cpp
bool IsLumivoProcess(DWORD pid);
std::vector<HWND> TopLevelWindows();
std::vector<HWND> WindowsOfProcess(DWORD pid);  // every level, message-only ones included
int ListWindows(int count, wchar_t** args);
int WaitForWindow(int count, wchar_t** args);
int ListMenus(int count, wchar_t** args);
int ListWindowTree(int count, wchar_t** args);

// message_commands.cpp
int CloseWindow(int count, wchar_t** args);
int CloseMessageOnlyWindow(int count, wchar_t** args);
int BroadcastMessage(int count, wchar_t** args);
int PostMessages(int count, wchar_t** args);
int SendOneMessage(int count, wchar_t** args);
int RunMessageBatch(int count, wchar_t** args);
int PingWindow(int count, wchar_t** args);
int ServeMarkedPosts(int count, wchar_t** args);

// process_commands.cpp
int ListLumivoProcesses(int count, wchar_t** args);
int CountObjects(int count, wchar_t** args);
int ReportMemory(int count, wchar_t** args);
int HoldLockedMutex(int count, wchar_t** args);
int RunAndWait(int count, wchar_t** args);
