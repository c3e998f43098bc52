#pragma once

#include <QCloseEvent>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace lumivo {

// The top-level widget of a form. A close request (the window manager's, or the session's
// end) goes to the form, which decides; the widget never closes itself. The form's popup
// menu is reachable from here, so that the tray can offer its items in a menu of its own.
class FormFrame final : public QWidget {
  Q_OBJECT

 public:
  FormFrame() = default;

  // The items of the form's popup menu, each with its id as data; nothing without a menu.
  QMenu* Menu() const { return menu_; }
  void SetMenu(QMenu* menu) { menu_ = menu; }
  // Chooses an item of the form's menu as a click in the popup would.
  void ChooseMenuItem(int item) { emit MenuItemChosen(item); }
  // A notification area has appeared, as Windows says when its taskbar is created.
  void AnnounceTray() { emit TrayAppeared(); }

 signals:
  void CloseRequested();
  void MenuItemChosen(int item);
  void TrayAppeared();

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    emit CloseRequested();
  }

 private:
  QPointer<QMenu> menu_;
};

}  // namespace lumivo
