#include "form.h"

namespace lumivo {

Form::Form(FormRuntime& runtime, const FormLayout& layout) : runtime_(runtime), layout_(layout) {}

bool Form::Load() {
  if (IsLoaded()) return true;
  window_ = runtime_.CreateForm(layout_, *this);
  if (!IsLoaded()) return false;
  Form_Load();
  return true;
}

void Form::Show() {
  if (Load()) window_->Show();
}

void Form::Hide() {
  if (Load()) window_->Hide();
}

void Form::Unload() {
  if (!IsLoaded()) return;
  Form_Unload();
  window_.reset();
}

WindowHandle Form::hWnd() { return Window().hWnd(); }

float Form::CurrentX() { return Window().CurrentX(); }

float Form::CurrentY() { return Window().CurrentY(); }

}  // namespace lumivo
