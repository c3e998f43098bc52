#include "app/linux/door_command_line.h"

#include <QString>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "commands/door_command_line.h"
#include "platform/linux/services/door_command_services.h"

namespace lumivo {
namespace {

constexpr std::string_view kDoorOption = "--door";

std::string Reason(DoorRunResult result, const std::string& problem) {
  if (!problem.empty()) return problem;
  switch (result) {
    case DoorRunResult::Missing:
      return "no such optical drive";
    case DoorRunResult::NotOptical:
      return "not an optical drive";
    default:
      return "the drive refused";
  }
}

}  // namespace

bool IsDoorCommandLine(int argc, const char* const* argv) {
  return argc > 1 && argv[1] == kDoorOption;
}

int RunDoorCommandLine(int argc, const char* const* argv) {
  std::vector<std::u16string> words;
  for (int i = 2; i < argc; ++i) words.push_back(QString::fromLocal8Bit(argv[i]).toStdU16String());
  const std::vector<std::u16string_view> arguments(words.begin(), words.end());
  DoorCommandServices services;
  const DoorRunResult result = RunDoorCommand(services, arguments);
  if (result == DoorRunResult::BadArguments) {
    std::fputs(
        "Usage: lumivo --door open|close|toggle [DRIVE]\n"
        "DRIVE: D: for the first optical drive, E: for the next, ..., or a device such as "
        "/dev/sr1.\nTry 'lumivo --help' for more information.\n",
        stderr);
  } else if (result != DoorRunResult::Done) {
    const std::string drive = argc > 3 ? argv[3] : "the lamp's drive";
    std::fprintf(stderr, "lumivo: %s (%s)\n", Reason(result, services.Problem()).c_str(),
                 drive.c_str());
  }
  return ExitCodeOf(result);
}

}  // namespace lumivo
