#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/win32/services/program_search.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

const SearchFolders kFolders{
    .systemDirectory = u"C:\\windows\\system32",
    .windowsDirectory = u"C:\\windows",
    .pathVariable = u"C:\\tools;.;;relative\\bin;\"C:\\Program Files\\x\";D:\\Lumivo\\;c:\\work",
    .programDirectory = u"D:\\Lumivo",
    .currentDirectory = u"C:\\Work\\",
};

TEST(ProgramSearch, TheFirstWordOrQuotedTextNamesTheProgram) {
  EXPECT_EQ(FirstProgramName(u"explorer E:"), u"explorer");
  EXPECT_EQ(FirstProgramName(u"rundll32.exe rnaui.dll,RnaDial 163"), u"rundll32.exe");
  EXPECT_EQ(FirstProgramName(u"  notepad.exe c:\\lumivo.txt"), u"notepad.exe");
  EXPECT_EQ(FirstProgramName(u"\"C:\\Program Files\\a b.exe\" x"), u"C:\\Program Files\\a b.exe");
  EXPECT_EQ(FirstProgramName(u""), u"");
}

TEST(ProgramSearch, OnlySystemFoldersAndAbsolutePathEntriesAreSearchedNeverOursOrTheCurrent) {
  EXPECT_THAT(ProgramCandidates(u"explorer", kFolders),
              ElementsAre(u"C:\\windows\\system32\\explorer.exe", u"C:\\windows\\explorer.exe",
                          u"C:\\tools\\explorer.exe", u"C:\\Program Files\\x\\explorer.exe"));
  EXPECT_THAT(ProgramCandidates(u"notepad.exe", kFolders),
              testing::Not(testing::Contains(u"D:\\Lumivo\\notepad.exe")));
}

TEST(ProgramSearch, TheSystemFoldersAreSearchedFirstWhereverLumivoRunsFrom) {
  // A logon start, the task scheduler and an elevated prompt run in the system folder.
  SearchFolders logon = kFolders;
  logon.currentDirectory = u"C:\\Windows\\System32\\";
  logon.pathVariable = u"C:\\windows\\system32;\"C:\\Windows\";relative;C:\\tools";
  EXPECT_THAT(ProgramCandidates(u"rundll32.exe", logon),
              ElementsAre(u"C:\\windows\\system32\\rundll32.exe", u"C:\\windows\\rundll32.exe",
                          u"C:\\tools\\rundll32.exe"));

  SearchFolders inWindows = kFolders;  // Lumivo.exe copied into the Windows folder
  inWindows.programDirectory = u"c:\\WINDOWS";
  inWindows.currentDirectory = u"C:\\windows";
  EXPECT_THAT(ProgramCandidates(u"explorer", inWindows),
              ElementsAre(u"C:\\windows\\system32\\explorer.exe", u"C:\\windows\\explorer.exe",
                          u"C:\\tools\\explorer.exe", u"C:\\Program Files\\x\\explorer.exe",
                          u"D:\\Lumivo\\explorer.exe", u"c:\\work\\explorer.exe"));
}

TEST(ProgramSearch, PathsAreTakenAsTheyAreOrNotAtAll) {
  EXPECT_THAT(ProgramCandidates(u"C:\\apps\\tool.exe", kFolders),
              ElementsAre(u"C:\\apps\\tool.exe"));
  EXPECT_THAT(ProgramCandidates(u"sub\\tool.exe", kFolders), IsEmpty());
  EXPECT_THAT(ProgramCandidates(u"", kFolders), IsEmpty());
}

}  // namespace
}  // namespace lumivo
