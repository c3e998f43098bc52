#include <string>

#include "tray/form1.h"

namespace lumivo {
namespace {

constexpr std::u16string_view kDialUpPrefix = u"rundll32.exe rnaui.dll,RnaDial ";

}  // namespace

// A program that cannot be started is reported, and the program keeps running.
bool Form1::Launch(std::u16string_view commandLine) {
  if (runtime_.Shell(commandLine, SW_SHOWNORMAL)) return true;
  runtime_.MsgBox(u"无法运行“" + std::u16string(commandLine) + u"”，请检查该程序是否存在！");
  return false;
}

void Form1::LaunchDialUp(std::u16string_view entryName) {
  Launch(std::u16string(kDialUpPrefix) + std::u16string(entryName));
}

void Form1::Command1_Click() { LaunchDialUp(u"163"); }

void Form1::Command2_Click() { LaunchDialUp(u"Norbek-163"); }

void Form1::Hide_readme_Click() { Launch(u"notepad.exe c:\\lumivo.txt"); }

}  // namespace lumivo
