#pragma once

#include <QMenu>
#include <QObject>
#include <QWidget>

#include <map>
#include <memory>

#include "platform/form_runtime.h"
#include "platform/linux/forms/delete_later.h"
#include "platform/linux/forms/form_frame.h"
#include "platform/linux/forms/form_timer.h"
#include "platform/linux/forms/handle_table.h"
#include "platform/linux/forms/picture_box.h"

namespace lumivo {

// A loaded form on Qt: a top-level widget with its controls, its timers and its menu.
// Destroying it hides the window and cuts it off from the form's handlers at once.
class QtFormWindow final : public FormWindow {
 public:
  // twipsPerPixel is the screen's; the layout may keep a scale of its own.
  QtFormWindow(const FormLayout& layout, FormEvents& events, HandleTable& handles,
               float twipsPerPixel);
  ~QtFormWindow() override;
  QtFormWindow(const QtFormWindow&) = delete;
  QtFormWindow& operator=(const QtFormWindow&) = delete;

  WindowHandle Handle() const override { return handle_; }
  void Show() override;
  void Hide() override;
  WindowHandle ControlHandle(int control) const override;
  IconHandle ControlIcon(int control) const override;
  bool SetTimerEnabled(int control, bool enabled) override;
  void PopupMenu() override;

  // Whether every control of the layout was created.
  bool Complete() const { return complete_; }

 private:
  void CreateFrame();
  bool CreateControl(const ControlLayout& control);
  void CreateButton(const ControlLayout& control);
  bool CreatePictureBox(const ControlLayout& control);
  void CreateTimer(const ControlLayout& control);
  void AddLabel(const ControlLayout& control);
  void CreateMenu();

  const FormLayout& layout_;
  FormEvents& events_;
  HandleTable& handles_;
  float screenTwipsPerPixel_;
  float twipsPerPixel_;  // of this form's layout
  // The context of every connection to the form's handlers: its end cuts them all.
  std::unique_ptr<QObject> connections_ = std::make_unique<QObject>();
  std::unique_ptr<FormFrame, DeleteLater> window_;
  std::unique_ptr<QMenu, DeleteLater> menu_;
  WindowHandle handle_ = 0;
  std::map<int, WindowHandle> controlHandles_;
  std::map<int, PictureBox*> pictureBoxes_;
  std::map<int, IconHandle> controlIcons_;
  std::map<int, FormTimer*> timers_;
  bool complete_ = false;
};

}  // namespace lumivo
