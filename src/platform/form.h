#pragma once

#include <memory>

#include "platform/form_runtime.h"

namespace lumivo {

// A form of the run-time: its definition, and its window while it is loaded. Show and Hide
// load the form first when needed, as Unload leaves it ready to be loaded anew; a form whose
// window cannot be created stays unloaded, and Show and Hide then do nothing.
class Form : public FormEvents {
 public:
  Form(FormRuntime& runtime, const FormLayout& layout);
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Whether the form is loaded afterwards.
  bool Load();
  void Show();
  void Hide();
  void Unload();
  bool IsLoaded() const { return window_ != nullptr; }

 protected:
  virtual void OnLoad() {}
  virtual void OnUnload() {}

  // The window of a loaded form.
  FormWindow& Window() { return *window_; }

  void OnClick(int) override {}
  void OnTimer(int) override {}
  void OnMouseMove(int, float) override {}
  void OnCloseRequest() override { Unload(); }
  void OnTaskbarCreated() override {}

  FormRuntime& runtime_;

 private:
  const FormLayout& layout_;
  std::unique_ptr<FormWindow> window_;
};

}  // namespace lumivo
