#include "form.h"

namespace lumivo {

Form::Form(FormRuntime& runtime, const FormLayout& layout) : runtime_(runtime), layout_(layout) {}

void Form::Load() {
  if (IsLoaded()) return;
  window_ = runtime_.CreateForm(layout_, *this);
  Form_Load();
}

FormWindow& Form::Window() {
  Load();
  return *window_;
}

void Form::Show() { Window().Show(); }

void Form::Hide() { Window().Hide(); }

void Form::Unload() {
  if (!IsLoaded()) return;
  Form_Unload();
  window_.reset();
}

WindowHandle Form::hWnd() { return Window().hWnd(); }

float Form::CurrentX() { return Window().CurrentX(); }

float Form::CurrentY() { return Window().CurrentY(); }

}  // namespace lumivo
