#include "platform/linux/services/service_messages.h"

#include <initializer_list>

namespace lumivo {
namespace {

// Appended piece by piece: GCC 12 sees a false overlap in chains of operator+ (-Wrestrict).
std::u16string Join(std::initializer_list<std::u16string_view> pieces) {
  std::u16string text;
  for (const std::u16string_view piece : pieces) text.append(piece);
  return text;
}

// "光驱D:（/dev/sr0）", or "光驱（/dev/sr0）" for a device that is no drive of the system's.
std::u16string Drive(const DriveName& drive) {
  const char16_t letter[] = {drive.letter ? static_cast<char16_t>(*drive.letter) : u'\0', u':'};
  return Join({u"光驱", drive.letter ? std::u16string_view(letter, 2) : std::u16string_view(),
               u"（", drive.device, u"）"});
}

}  // namespace

std::u16string DiscInUseMessage(const DriveName& drive) {
  return Join({Drive(drive), u"中的光盘正在使用，无法弹出！请先关闭光盘上打开的文件。"});
}

std::u16string UnmountFailedMessage(const DriveName& drive, std::u16string_view detail) {
  return Join({Drive(drive), u"中的光盘无法卸载，光驱没有弹出！（", detail, u"）"});
}

std::u16string EjectFailedMessage(const DriveName& drive, bool busy, std::u16string_view detail) {
  if (busy) return Join({Drive(drive), u"正忙，无法弹出！"});
  return Join({Drive(drive), u"无法弹出！（", detail, u"）"});
}

std::u16string NoDiscMessage(const DriveName& drive) {
  return Join({Drive(drive), u"中没有光盘！"});
}

std::u16string NoFolderOnDiscMessage(const DriveName& drive) {
  return Join({Drive(drive), u"中的光盘没有可以浏览的文件！"});
}

std::u16string MountFailedMessage(const DriveName& drive, std::u16string_view detail) {
  return Join({Drive(drive), u"中的光盘无法装载！（", detail, u"）"});
}

std::u16string FolderNotOpenedMessage(const DriveName& drive, std::u16string_view folder) {
  return Join({u"无法打开", Drive(drive), u"的文件夹“", folder, u"”！"});
}

std::u16string NoSuchDriveMessage(char letter) {
  const char16_t drive[] = {static_cast<char16_t>(letter), u':'};
  return Join({u"找不到光驱", std::u16string_view(drive, 2), u"！"});
}

std::u16string NoNetworkManagerMessage(std::u16string_view connection) {
  return Join({u"NetworkManager没有运行，无法拨号连接“", connection, u"”！"});
}

std::u16string NoSuchConnectionMessage(std::u16string_view connection) {
  return Join({u"NetworkManager中没有名为“", connection, u"”的连接，请先建立该连接！"});
}

std::u16string ConnectionRefusedMessage(std::u16string_view connection,
                                        std::u16string_view detail) {
  return Join({u"NetworkManager无法启用连接“", connection, u"”！（", detail, u"）"});
}

}  // namespace lumivo
