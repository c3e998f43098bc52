#include "platform/sim/sim_form_window.h"
#include "platform/sim/simulation.h"
#include "platform/sim/text_codec.h"

namespace lumivo::sim {
namespace {

std::string ControlName(const std::u16string& form, const ControlLayout& control) {
  std::string name = ToUtf8(form) + "." + ToUtf8(control.name);
  if (control.index >= 0) name += "(" + std::to_string(control.index) + ")";
  return name;
}

// Windows compares file names without regard to case.
std::u16string FoldedPath(std::u16string_view path) {
  std::u16string folded(path);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

}  // namespace

std::unique_ptr<FormWindow> Simulation::CreateForm(const FormLayout& layout, FormEvents& events) {
  if (failingForms_.contains(std::u16string(layout.name))) {
    Record("CreateForm " + ToUtf8(layout.name) + " failed");
    return nullptr;
  }
  auto state = std::make_unique<SimWindowState>();
  state->form = std::u16string(layout.name);
  state->layout = &layout;
  state->events = &events;
  state->handle = NewHandle(ToUtf8(layout.name));
  for (const ControlLayout& control : layout.controls) {
    const std::string name = ControlName(state->form, control);
    if (control.type == ControlType::Timer) {
      timers_.push_back(
          {state->handle, control.id, control.interval, now_ + control.interval, control.enabled});
    }
    state->controls[control.id] = NewHandle(name);
    if (control.picture != Picture::None) state->icons[control.id] = NewHandle(name + ".Picture");
  }
  Record("CreateForm " + ToUtf8(layout.name));
  const WindowHandle window = state->handle;
  windows_.push_back(std::move(state));
  return std::make_unique<SimFormWindow>(*this, window);
}

void Simulation::ShowMessage(std::u16string_view prompt) {
  Record("MsgBox \"" + ToUtf8(prompt) + "\"");
  if (onMessage) onMessage(prompt);
}

void Simulation::End(int exitCode) {
  Record("End");
  ended_ = true;
  exitCode_ = exitCode;
  throw ProgramEnded{};
}

// The program's command lines name their program first, unquoted.
std::optional<std::uint32_t> Simulation::StartProgram(std::u16string_view commandLine,
                                                      int windowStyle) {
  Record("Shell \"" + ToUtf8(commandLine) + "\" " + std::to_string(windowStyle));
  const std::u16string program(commandLine.substr(0, commandLine.find(u' ')));
  if (failingPrograms_.contains(program)) return std::nullopt;
  return nextProcessId_++;
}

bool Simulation::FileExists(std::u16string_view path) { return files_.contains(FoldedPath(path)); }

void Simulation::AddFile(std::u16string_view path) { files_.insert(FoldedPath(path)); }

}  // namespace lumivo::sim
