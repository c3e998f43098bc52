#include <gtest/gtest.h>
#include <linux/cdrom.h>

#include <cerrno>
#include <string>

#include "platform/linux/services/command_lines.h"
#include "platform/linux/services/door_command.h"

namespace lumivo {
namespace {

TEST(CommandLineTest, TheProgramsOwnCommandLinesHaveTheirLinuxEffect) {
  const auto browse = std::get<BrowseDrive>(TranslateCommandLine(u"explorer E:"));
  EXPECT_EQ(browse.letter, 'E');
  EXPECT_EQ(std::get<BringUpConnection>(
                TranslateCommandLine(u"rundll32.exe rnaui.dll,RnaDial Norbek-163"))
                .name,
            "Norbek-163");
  EXPECT_TRUE(std::holds_alternative<OpenInstructions>(
      TranslateCommandLine(u"notepad.exe c:\\lumivo.txt")));
}

TEST(CommandLineTest, NamesAreReadAsWindowsReadsThem) {
  EXPECT_EQ(std::get<BrowseDrive>(TranslateCommandLine(u"EXPLORER.EXE m:")).letter, 'M');
  EXPECT_TRUE(
      std::holds_alternative<OpenInstructions>(TranslateCommandLine(u"Notepad C:\\LUMIVO.TXT")));
  // The connection's name is everything after the one blank, blanks and Chinese included.
  EXPECT_EQ(
      std::get<BringUpConnection>(TranslateCommandLine(u"RunDll32 RNAUI.DLL,rnadial 我的 拨号"))
          .name,
      "我的 拨号");
}

TEST(CommandLineTest, AnythingElseHasNoLinuxEquivalent) {
  for (const char16_t* line :
       {u"explorer", u"explorer C:", u"explorer AB:", u"explorer E:\\Windows", u"explorer E: F:",
        u"notepad.exe c:\\other.txt", u"notepad.exe", u"rundll32.exe rnaui.dll,RnaDial",
        u"rundll32.exe shell32.dll,Control_RunDLL 163", u"cmd.exe /c del c:\\lumivo.txt",
        u"sh -c reboot", u""}) {
    EXPECT_TRUE(std::holds_alternative<NoLinuxEquivalent>(TranslateCommandLine(line)))
        << std::u16string(line).size();
  }
}

TEST(DoorCommandTest, OnlyTheTwoDoorCommandsMoveTheDoor) {
  EXPECT_EQ(DoorMoveOf("set CDAudio door open"), DoorMove::Open);
  EXPECT_EQ(DoorMoveOf("set CDAudio door closed"), DoorMove::Close);
  EXPECT_EQ(DoorMoveOf("  SET cdaudio  DOOR\tClosed "), DoorMove::Close);
  for (const char* other : {"set CDAudio door", "set CDAudio door open wait", "open cdaudio",
                            "set waveaudio door open", "set CDAudio door close", ""}) {
    EXPECT_EQ(DoorMoveOf(other), std::nullopt) << other;
  }
}

TEST(DoorCommandTest, OnlyAnOpenTrayOrADriveThatSaysItIsShutTellsTheDoor) {
  EXPECT_EQ(DoorStateOfStatus(CDS_TRAY_OPEN), DoorState::Open);
  EXPECT_EQ(DoorStateOfStatus(CDS_DISC_OK), DoorState::Closed);
  EXPECT_EQ(DoorStateOfStatus(CDS_NO_DISC), DoorState::Closed);
  for (int unknown : {CDS_NO_INFO, CDS_DRIVE_NOT_READY, -EBUSY, -ENOTTY, -ENOENT, 5}) {
    EXPECT_EQ(DoorStateOfStatus(unknown), DoorState::Unknown) << unknown;
  }
}

}  // namespace
}  // namespace lumivo
