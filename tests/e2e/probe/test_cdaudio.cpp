// A stand-in for the CD audio MCI driver (mcicda.dll), registered in the test prefix in its
// place: it records every command it gets and answers from a drive the test describes, in
// files of C:\lumivo-mci\ shared by every process:
//   log.txt   appended: "PID INSTANCE open|close|set door open|set door closed|status mode X:"
//   X.door    "open" or "closed" (no file: closed); the door commands write it
//   X.disc    present while drive X: holds a disc
//   refuse    present: every door command fails with MCIERR_HARDWARE and moves nothing
// Like a real drive (and Wine's mcicda), a closed drive with no disc reports the mode "open".
// With no element the device is the first CD drive, as with the system's driver.
#include <windows.h>

#include <mmddk.h>
#include <mmsystem.h>

#include <string>

namespace {

const std::wstring kFolder = L"C:\\lumivo-mci\\";

struct Instance {
  wchar_t drive = L'?';
};

wchar_t FirstCdDrive() {
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    if (GetDriveTypeW(root) == DRIVE_CDROM) return letter;
  }
  return L'?';
}

bool Exists(const std::wstring& name) {
  return GetFileAttributesW((kFolder + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Read(const std::wstring& name) {
  const HANDLE file = CreateFileW((kFolder + name).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char text[16] = {};
  DWORD read = 0;
  ReadFile(file, text, sizeof text - 1, &read, nullptr);
  CloseHandle(file);
  return std::string(text, read);
}

void Write(const std::wstring& name, const std::string& text, bool append) {
  const HANDLE file =
      CreateFileW((kFolder + name).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  append ? OPEN_ALWAYS : CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void Log(const Instance& instance, const char* what) {
  const std::string line = std::to_string(GetCurrentProcessId()) + " " +
                           std::to_string(reinterpret_cast<UINT_PTR>(&instance)) + " " + what +
                           " " + static_cast<char>(instance.drive) + ":\n";
  Write(L"log.txt", line, true);
}

std::wstring DoorFile(const Instance& instance) {
  return std::wstring(1, instance.drive) + L".door";
}

DWORD Mode(const Instance& instance) {
  if (Read(DoorFile(instance)) == "open") return MCI_MODE_OPEN;
  return Exists(std::wstring(1, instance.drive) + L".disc") ? MCI_MODE_STOP : MCI_MODE_OPEN;
}

LRESULT Open(Instance& instance, DWORD_PTR flags, const MCI_OPEN_PARMSW* parameters) {
  instance.drive = FirstCdDrive();
  if ((flags & MCI_OPEN_ELEMENT) && parameters && parameters->lpstrElementName) {
    instance.drive = static_cast<wchar_t>(parameters->lpstrElementName[0] & ~0x20);  // "e:"
  }
  Log(instance, "open");
  return 0;
}

LRESULT Set(Instance& instance, DWORD_PTR flags) {
  const bool open = (flags & MCI_SET_DOOR_OPEN) != 0;
  if (!open && !(flags & MCI_SET_DOOR_CLOSED)) return MCIERR_UNSUPPORTED_FUNCTION;
  Log(instance, open ? "set door open" : "set door closed");
  if (Exists(L"refuse")) return MCIERR_HARDWARE;
  Write(DoorFile(instance), open ? "open" : "closed", false);
  return 0;
}

LRESULT Status(Instance& instance, DWORD_PTR flags, MCI_STATUS_PARMS* parameters) {
  if (!(flags & MCI_STATUS_ITEM) || !parameters || parameters->dwItem != MCI_STATUS_MODE) {
    return MCIERR_UNSUPPORTED_FUNCTION;
  }
  Log(instance, "status mode");
  const DWORD mode = Mode(instance);
  parameters->dwReturn = MAKEMCIRESOURCE(mode, mode);
  return MCI_RESOURCE_RETURNED;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM first, LPARAM second) {
  auto* instance = reinterpret_cast<Instance*>(id);
  switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
      return 1;
    case DRV_OPEN: {
      // Without parameters: the driver's session, opened once before its devices.
      auto* open = reinterpret_cast<MCI_OPEN_DRIVER_PARMS*>(second);
      if (open == nullptr) return 1;
      open->wCustomCommandTable = MCI_NO_COMMAND_TABLE;
      open->wType = MCI_DEVTYPE_CD_AUDIO;
      return reinterpret_cast<LRESULT>(new Instance);
    }
    case DRV_CLOSE:
      if (id > 1) delete instance;
      return 1;
    case MCI_OPEN_DRIVER:
      return Open(*instance, first, reinterpret_cast<const MCI_OPEN_PARMSW*>(second));
    case MCI_CLOSE_DRIVER:
      Log(*instance, "close");
      return 0;
    case MCI_SET:
      return Set(*instance, first);
    case MCI_STATUS:
      return Status(*instance, first, reinterpret_cast<MCI_STATUS_PARMS*>(second));
    default:
      if (message >= DRV_MCI_FIRST) return MCIERR_UNSUPPORTED_FUNCTION;
      return DefDriverProc(id, driver, message, first, second);
  }
}
