#include "commands/launchers.h"

#include <string>

#include "platform/windows_services.h"

namespace lumivo {
namespace {

constexpr std::u16string_view kDialUpPrefix = u"rundll32.exe rnaui.dll,RnaDial ";

}  // namespace

Launchers::Launchers(FormRuntime& runtime) : runtime_(runtime) {}

// A program that cannot be started is reported, and the program keeps running.
bool Launchers::Launch(std::u16string_view commandLine) {
  if (runtime_.StartProgram(commandLine, kShowNormal)) return true;
  runtime_.ShowMessage(u"无法运行“" + std::u16string(commandLine) + u"”，请检查该程序是否存在！");
  return false;
}

void Launchers::DialUp(std::u16string_view entryName) {
  Launch(std::u16string(kDialUpPrefix) + std::u16string(entryName));
}

void Launchers::Dial163() { DialUp(u"163"); }

void Launchers::DialNorbek163() { DialUp(u"Norbek-163"); }

// Always the root of drive C, wherever the program itself lives.
void Launchers::OpenInstructions() { Launch(u"notepad.exe c:\\lumivo.txt"); }

}  // namespace lumivo
