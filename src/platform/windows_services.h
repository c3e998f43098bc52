#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/tray_icon_record.h"

namespace lumivo {

// The two texts that move the CD drive door. They name the device by type, so whatever drive
// MCI maps "CDAudio" to is the one that moves.
inline constexpr std::u16string_view kDoorOpenCommand = u"set CDAudio door open";
inline constexpr std::u16string_view kDoorClosedCommand = u"set CDAudio door closed";

// The values the logic passes to the Windows functions, as Windows numbers them.
enum class TrayRequest : std::uint32_t { Add = 0, Delete = 2 };
enum class WindowsExit : std::uint32_t { ShutDown = 1, Restart = 2 };
inline constexpr std::uint32_t kCdRomDrive = 5;         // a drive type
inline constexpr WindowHandle kTopmost = 0xFFFFFFFF;    // insert-after: above all others
inline constexpr std::uint32_t kShowWindowFlag = 0x40;  // window placement: also show it
inline constexpr int kShowNormal = 1;                   // a normal window with the focus

// A drive's door as the system tells it. Unknown: the system cannot say, or its answer does not
// tell an open door from a closed drive with no disc.
enum class DoorState : std::uint8_t { Unknown, Open, Closed };

// What came of a door command given to a drive.
enum class DoorResult : std::uint8_t { Done, Refused, Missing, NotOptical };

// The running lamp, as the backend that watches its drive's door sees it.
class DoorWatcher {
 public:
  // The lamp's drive's door is now in that state, moved by other means than the lamp: the
  // system reported it, or a door command line said that it moved the door.
  virtual void OnDoorMoved(DoorState state) = 0;
  // The door the lamp shows: its last command, or the real door once that was read.
  virtual DoorState LampDoor() const = 0;

 protected:
  ~DoorWatcher() = default;
};

// Told whether Windows took a restart or shutdown request.
class ExitWindowsAnswer {
 public:
  virtual void OnExitWindowsAnswered(bool accepted) = 0;

 protected:
  ~ExitWindowsAnswer() = default;
};

// The Windows functions the program's logic calls, with the arguments it gives them; each
// keeps the name of the function it stands for. Texts arrive already in the ANSI code page
// (see ToAnsi), exactly as the *A functions take them. A text that Windows shows or hands on
// comes with the UTF-16 text it was made from as well: where the system's code page cannot
// hold that text exactly (any code page but GBK's, for Chinese), Windows gets it through the
// wide function instead, so that it reads the same on every system.
//
// DoorServices are the few of them a drive's door needs: all a door command line, which has no
// lamp, window or keys, asks for.
class DoorServices {
 public:
  virtual ~DoorServices() = default;

  // UTF-16 to the ANSI code page of the system the program runs on.
  virtual std::string ToAnsi(std::u16string_view text) const = 0;
  // No reply buffer and no callback window: the result is not wanted.
  virtual void mciSendStringA(const std::string& command) = 0;
  virtual std::uint32_t GetDriveTypeA(const std::string& rootPath) = 0;

  // The drive door beyond the two commands above. A drive is named as the logic checked it:
  // empty for the lamp's drive (the one the two commands move, the first CD drive), an
  // upper-case ASCII letter, or a device path.
  virtual bool IsLampDrive(std::u16string_view drive) = 0;
  // Asking must never spin a disc up or move a tray.
  virtual DoorState DoorStateOf(std::u16string_view drive) = 0;
  // The lamp's drive gets the two commands' own texts; waits until the drive answered.
  virtual DoorResult MoveDoor(std::u16string_view drive, bool open) = 0;
  // For a door command line run beside a running copy: that copy's lamp (Unknown when no copy
  // runs or it cannot say), and the notice that this run moved the lamp's drive's door.
  virtual DoorState RunningLampDoor() = 0;
  virtual void TellRunningCopy(DoorState moved) = 0;
};

// All of them: the lamp's, the menu's and the keys' as well.
class WindowsServices : public DoorServices {
 public:
  // tip: the record's tip in UTF-16.
  virtual bool Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record,
                                 std::u16string_view tip) = 0;
  // Verb "open", no parameters, no directory; fileText: the file in UTF-16.
  virtual void ShellExecuteA(WindowHandle owner, const std::string& file, int showCommand,
                             std::u16string_view fileText) = 0;
  // Restart and shutdown need the shutdown privilege on every NT-family Windows.
  virtual void EnableShutdownPrivilege() = 0;
  // Windows answers at once, and the answer is passed on before the call returns; another
  // system may answer later, from the event loop, while the program goes on meanwhile.
  virtual void ExitWindowsEx(WindowsExit how, std::uint32_t reserved,
                             ExitWindowsAnswer& answer) = 0;
  virtual std::int16_t GetAsyncKeyState(std::int32_t virtualKey) = 0;
  virtual void SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                            int height, std::uint32_t flags) = 0;
  // From now on the watcher hears, on the GUI thread, of every change of the lamp's drive's
  // door that the system reports, and of every door command line's notice.
  virtual void WatchDoor(DoorWatcher& watcher) = 0;
};

}  // namespace lumivo
