#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/mount_table.h"
#include "platform/linux/optical_drives.h"

namespace lumivo {
namespace {

using testing::ElementsAre;

TEST(OpticalDriveTest, DrivesAreTakenInNumberOrder) {
  EXPECT_THAT(OpticalDriveNames({"sda", "sr10", "sr2", "sr0", "sr", "sr1a", "sr01", "srx", "tty1"}),
              ElementsAre("sr0", "sr2", "sr10"));
}

TEST(OpticalDriveTest, TheOpticalDrivesAreDEAndOnAndEveryOtherLetterIsNoDrive) {
  EXPECT_EQ(DriveTypeOf("D:\\", 2), 5u);
  EXPECT_EQ(DriveTypeOf("E:\\", 2), 5u);
  EXPECT_EQ(DriveTypeOf("e:", 2), 5u);
  EXPECT_EQ(DriveTypeOf("F:\\", 2), 1u);
  EXPECT_EQ(DriveTypeOf("D:\\", 0), 1u);
  for (const char* root : {"C:\\", "A:\\", "", "D", "D:\\x", "1:\\", "\\\\server\\share\\"}) {
    EXPECT_EQ(DriveTypeOf(root, 2), 1u) << root;
  }
  EXPECT_EQ(OpticalDriveIndex("M:"), 9u);
  EXPECT_EQ(OpticalDriveIndex("Z:\\"), 22u);
}

TEST(MountTableTest, TheDiscsFolderIsFoundByAnyNameOfItsDevice) {
  const std::string mounts =
      "sysfs /sys sysfs rw 0 0\n"
      "/dev/sda1 / ext4 rw 0 0\n"
      "/dev/sr0 /media/me/My\\040Disc\\134x iso9660 ro 0 0\n"
      "/dev/sr1 /media/me/OTHER udf ro 0 0";
  const std::vector<std::string> names = {"/dev/cdrom", "/dev/sr0"};
  EXPECT_EQ(MountPointOf(mounts, names), "/media/me/My Disc\\x");
  const std::vector<std::string> second = {"/dev/sr1"};
  EXPECT_EQ(MountPointOf(mounts, second), "/media/me/OTHER") << "the last line has no newline";
  const std::vector<std::string> absent = {"/dev/sr2"};
  EXPECT_EQ(MountPointOf(mounts, absent), std::nullopt);
  EXPECT_EQ(MountPointOf("broken\n\n/dev/sr0\n", names), std::nullopt);
}

}  // namespace
}  // namespace lumivo
