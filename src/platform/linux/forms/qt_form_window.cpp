#include "platform/linux/forms/qt_form_window.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "platform/linux/forms/resource_pictures.h"
#include "platform/twips.h"

namespace lumivo {
namespace {

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtFormWindow::QtFormWindow(const FormLayout& layout, FormEvents& events, HandleTable& handles,
                           float twipsPerPixel)
    : layout_(layout),
      events_(events),
      handles_(handles),
      screenTwipsPerPixel_(twipsPerPixel),
      twipsPerPixel_(layout.designTwipsPerPixel > 0 ? layout.designTwipsPerPixel : twipsPerPixel) {
  CreateFrame();
  for (const ControlLayout& control : layout.controls) {
    if (!CreateControl(control)) return;
  }
  CreateMenu();
  complete_ = true;
}

QtFormWindow::~QtFormWindow() {
  connections_.reset();
  for (const auto& [id, timer] : timers_) timer->SetEnabled(false);
  window_->hide();
  for (const auto& [id, handle] : controlHandles_) handles_.Remove(handle);
  for (const auto& [id, handle] : controlIcons_) handles_.Remove(handle);
  handles_.Remove(handle_);
}

void QtFormWindow::CreateFrame() {
  window_.reset(new FormFrame);
  window_->setWindowTitle(ToQString(layout_.caption));
  if (layout_.icon != Picture::None) window_->setWindowIcon(LoadIcon(layout_.icon));
  if (layout_.border == BorderStyle::None) window_->setWindowFlag(Qt::FramelessWindowHint);
  window_->resize(TwipsToPixels(layout_.width, twipsPerPixel_),
                  TwipsToPixels(layout_.height, twipsPerPixel_));
  if (layout_.startUpPosition == StartUpPosition::CenterScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window_->move(screen.center() - window_->rect().center());
  }
  handle_ = handles_.AddWindow(window_.get());
  QObject::connect(window_.get(), &FormFrame::CloseRequested, connections_.get(),
                   [this] { events_.OnCloseRequest(); });
  QObject::connect(window_.get(), &FormFrame::MenuItemChosen, connections_.get(),
                   [this](int item) { events_.OnClick(item); });
  QObject::connect(window_.get(), &FormFrame::TrayAppeared, connections_.get(),
                   [this] { events_.OnTaskbarCreated(); });
}

bool QtFormWindow::CreateControl(const ControlLayout& control) {
  switch (control.type) {
    case ControlType::CommandButton:
      CreateButton(control);
      return true;
    case ControlType::Timer:
      CreateTimer(control);
      return true;
    case ControlType::PictureBox:
      return CreatePictureBox(control);
    case ControlType::Label:
      AddLabel(control);
      return true;
  }
  return false;
}

void QtFormWindow::CreateButton(const ControlLayout& control) {
  auto* button = new QPushButton(ToQString(control.caption), window_.get());
  button->setGeometry(
      TwipsToPixels(control.left, twipsPerPixel_), TwipsToPixels(control.top, twipsPerPixel_),
      TwipsToPixels(control.width, twipsPerPixel_), TwipsToPixels(control.height, twipsPerPixel_));
  button->setEnabled(control.enabled);
  controlHandles_[control.id] = handles_.AddWindow(button);
  QObject::connect(button, &QPushButton::clicked, connections_.get(),
                   [this, id = control.id] { events_.OnClick(id); });
}

bool QtFormWindow::CreatePictureBox(const ControlLayout& control) {
  const auto container = pictureBoxes_.find(control.container);
  QWidget* parent =
      container == pictureBoxes_.end() ? static_cast<QWidget*>(window_.get()) : container->second;
  auto* box = new PictureBox(control, parent, twipsPerPixel_);
  pictureBoxes_[control.id] = box;
  controlHandles_[control.id] = handles_.AddWindow(box);
  controlIcons_[control.id] = handles_.AddIcon(box->Icon());
  QObject::connect(box, &PictureBox::LabelClicked, connections_.get(),
                   [this](int label) { events_.OnClick(label); });
  QObject::connect(box, &PictureBox::MouseMessage, connections_.get(),
                   [this](int id, std::int16_t x) {
                     events_.OnMouseMove(id, PixelsToTwips(x, screenTwipsPerPixel_));
                   });
  return box->Complete();
}

void QtFormWindow::CreateTimer(const ControlLayout& control) {
  // The destructor stops every timer, so no tick reaches a window that is gone.
  auto* timer = new FormTimer(
      control.interval, [this, id = control.id] { events_.OnTimer(id); }, window_.get());
  timers_[control.id] = timer;
  if (control.enabled) timer->SetEnabled(true);
}

// Labels are windowless; they live on the picture box that contains them.
void QtFormWindow::AddLabel(const ControlLayout& control) {
  const auto box = pictureBoxes_.find(control.container);
  if (box != pictureBoxes_.end()) box->second->AddLabel(control);
}

void QtFormWindow::CreateMenu() {
  if (layout_.menu.empty()) return;
  menu_.reset(new QMenu);
  for (const MenuItemLayout& item : layout_.menu) {
    if (item.caption == kMenuSeparator) {
      menu_->addSeparator();
    } else {
      menu_->addAction(ToQString(item.caption))->setData(item.id);
    }
  }
  window_->SetMenu(menu_.get());
}

void QtFormWindow::Show() { window_->show(); }

void QtFormWindow::Hide() { window_->hide(); }

WindowHandle QtFormWindow::ControlHandle(int control) const {
  const auto found = controlHandles_.find(control);
  return found == controlHandles_.end() ? 0 : found->second;
}

IconHandle QtFormWindow::ControlIcon(int control) const {
  const auto found = controlIcons_.find(control);
  return found == controlIcons_.end() ? 0 : found->second;
}

// Enabling a running timer does not restart it. A QTimer always starts.
bool QtFormWindow::SetTimerEnabled(int control, bool enabled) {
  const auto found = timers_.find(control);
  if (found != timers_.end()) found->second->SetEnabled(enabled);
  return true;
}

// The menu runs its own event loop, in which the timers keep ticking; a handler run meanwhile
// may unload this form, and then the choice is dropped.
void QtFormWindow::PopupMenu() {
  if (!menu_) return;
  const QPointer<QObject> alive = connections_.get();
  FormEvents& events = events_;
  const QAction* chosen = menu_->exec(QCursor::pos());
  if (alive.isNull() || chosen == nullptr) return;
  events.OnClick(chosen->data().toInt());
}

}  // namespace lumivo
