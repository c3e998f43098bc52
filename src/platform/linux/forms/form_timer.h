#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace lumivo {

// A form's timer, which keeps ticking inside message boxes, menus and any other event loop
// opened from its own ticks, as Windows' WM_TIMER does. Qt fires no timer whose tick is still
// being handled; so when a handler's event loop is about to wait, the timer is started again,
// which makes it a timer Qt has not seen tick. Ticks that open no loop cost nothing more.
class FormTimer final : public QObject {
  Q_OBJECT

 public:
  // Stopped until enabled; an interval of 0 keeps it stopped. Each tick calls onTick directly:
  // the hotkey timer ticks a hundred times a second, and a signal hop per tick cost a third
  // of what the tick does.
  FormTimer(int interval, std::function<void()> onTick, QObject* parent);

  void SetEnabled(bool enabled);

 private:
  void Tick();
  void OnLoopWaits();

  QTimer timer_;
  std::function<void()> onTick_;
  bool enabled_ = false;
  // A tick of the running timer is being handled: Qt holds that timer back.
  bool heldBack_ = false;
};

}  // namespace lumivo
