#include "platform/form.h"

namespace lumivo {

Form::Form(FormRuntime& runtime, const FormLayout& layout) : runtime_(runtime), layout_(layout) {}

bool Form::Load() {
  if (IsLoaded()) return true;
  window_ = runtime_.CreateForm(layout_, *this);
  if (!IsLoaded()) return false;
  OnLoad();
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
  OnUnload();
  window_.reset();
}

}  // namespace lumivo
