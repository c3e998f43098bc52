#pragma once

#include <QCloseEvent>
#include <QWidget>

namespace lumivo {

// The top-level widget of a form. A close request (the window manager's, or the session's
// end) goes to the form, which decides; the widget never closes itself.
class FormFrame final : public QWidget {
  Q_OBJECT

 public:
  FormFrame() = default;

 signals:
  void CloseRequested();

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    emit CloseRequested();
  }
};

}  // namespace lumivo
