#include "app/linux/command_line.h"

#include <cstdio>
#include <string_view>

#include "lumivo/version.h"

namespace lumivo {
namespace {

constexpr int kUsageError = 2;

constexpr std::string_view kHelp =
    "Usage: lumivo [--help | --version | --door open|close|toggle [DRIVE]]\n"
    "A lamp in the notification area and global hotkeys that open and close the CD-ROM\n"
    "drive door.\n"
    "\n"
    "Lamp: a left or middle click on the green lamp opens the door, a right click on the\n"
    "red lamp closes it, a right double or single click on the green lamp opens the menu.\n"
    "Trays that show the lamp's own menu instead offer the same there, the green lamp's\n"
    "starting with its left click. Where the drive tells where its tray is, the lamp\n"
    "follows the door however it moved.\n"
    "Keys (X11, else the desktop's GlobalShortcuts portal): keypad / opens the door,\n"
    "keypad * closes it, keypad + opens every CD drive in the file manager, F11 and F12\n"
    "bring up the NetworkManager connections \"163\" and \"Norbek-163\".\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "  --door open|close|toggle [DRIVE]\n"
    "                 open, close or toggle the door of DRIVE and exit, with no window\n"
    "                 and no lamp; a running copy's lamp follows. DRIVE is D: for the\n"
    "                 first optical drive, E: for the next, ..., or a device such as\n"
    "                 /dev/sr1; without it, the lamp's drive. toggle opens a closed door\n"
    "                 and closes an open one (where the drive cannot tell: the opposite\n"
    "                 of the running lamp's last command, else it opens).\n"
    "                 Exit status 0 done, 1 refused, missing or no optical drive (the\n"
    "                 reason on standard error), 2 bad arguments.\n"
    "\n"
    "LUMIVO_CDROM names the drive (default /dev/cdrom, else the first optical drive).\n"
    "See lumivo(1).\n";

bool Print(std::string_view text, std::FILE* stream) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
         std::fflush(stream) == 0;
}

}  // namespace

std::optional<int> AnswerInformationRequest(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      return Print(kHelp, stdout) ? 0 : 1;
    }
    if (argument == "--version" || argument == "-v") {
      return Print("lumivo " LUMIVO_VERSION "\n", stdout) ? 0 : 1;
    }
  }
  return std::nullopt;
}

std::optional<int> RefuseLeftoverArguments(int argc, const char* const* argv) {
  if (argc <= 1) {
    return std::nullopt;
  }
  std::fprintf(stderr, "lumivo: unknown option '%s'\nTry 'lumivo --help' for more information.\n",
               argv[1]);
  return kUsageError;
}

}  // namespace lumivo
