#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/linux/services/optical_drives.h"
#include "platform/linux/services/service_messages.h"

namespace lumivo {
namespace {

using testing::ElementsAre;

TEST(OpticalDriveTest, DrivesAreTakenInNumberOrder) {
  std::vector<std::string> devices = {"/dev/sr10", "/dev/sr2", "/dev/sr0", "/dev/sr1a",
                                      "/dev/sr01", "/dev/sr",  "/dev/sr1"};
  std::ranges::sort(devices, DeviceNameBefore);
  EXPECT_THAT(devices, ElementsAre("/dev/sr", "/dev/sr0", "/dev/sr01", "/dev/sr1", "/dev/sr1a",
                                   "/dev/sr2", "/dev/sr10"));
  EXPECT_FALSE(DeviceNameBefore("/dev/sr1", "/dev/sr1"));
  EXPECT_FALSE(DeviceNameBefore("/dev/sr1", "/dev/sr01")) << "the same number";
  EXPECT_EQ(OpticalDriveLetter(0), 'D');
  EXPECT_EQ(OpticalDriveLetter(22), 'Z');
  EXPECT_EQ(OpticalDriveLetter(23), std::nullopt);
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

TEST(OpticalDriveTest, ADeviceIsTheSameThroughItsLinks) {
  const auto folder = std::filesystem::temp_directory_path() / "lumivo-same-device-test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string drive = folder / "sr0", other = folder / "sr1", link = folder / "cdrom";
  for (const std::string& file : {drive, other}) std::ofstream(file).put('\0');
  std::filesystem::create_symlink(drive, link);
  EXPECT_TRUE(SameDevice(link, drive));
  EXPECT_FALSE(SameDevice(link, other));
  EXPECT_FALSE(SameDevice(folder / "missing", drive));
  EXPECT_TRUE(SameDevice("/dev/missing", "/dev/missing")) << "the same name";
  std::filesystem::remove_all(folder);
}

TEST(ServiceMessageTest, EachMessageNamesTheDriveOrConnectionItIsAbout) {
  const DriveName drive{'E', u"/dev/sr1"};
  for (const std::u16string& message :
       {DiscInUseMessage(drive), UnmountFailedMessage(drive, u"not authorized"),
        EjectFailedMessage(drive, true, u""), EjectFailedMessage(drive, false, u"I/O error"),
        NoDiscMessage(drive), NoFolderOnDiscMessage(drive), MountFailedMessage(drive, u"x"),
        FolderNotOpenedMessage(drive, u"/media/me/DISC")}) {
    EXPECT_NE(message.find(u"光驱E:（/dev/sr1）"), std::u16string::npos);
  }
  EXPECT_EQ(NoDiscMessage({std::nullopt, u"/tmp/cd"}), u"光驱（/tmp/cd）中没有光盘！")
      << "a device that is no drive of the system's has no letter";
  EXPECT_NE(UnmountFailedMessage(drive, u"not authorized").find(u"not authorized"),
            std::u16string::npos);
  EXPECT_EQ(NoSuchConnectionMessage(u"Norbek-163"),
            u"NetworkManager中没有名为“Norbek-163”的连接，请先建立该连接！");
  EXPECT_NE(ConnectionRefusedMessage(u"163", u"no device").find(u"“163”"), std::u16string::npos);
  EXPECT_NE(NoNetworkManagerMessage(u"163").find(u"“163”"), std::u16string::npos);
}

}  // namespace
}  // namespace lumivo
