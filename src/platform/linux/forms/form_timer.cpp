#include "platform/linux/forms/form_timer.h"

#include <QAbstractEventDispatcher>

#include <utility>

namespace lumivo {

FormTimer::FormTimer(int interval, std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
  timer_.setInterval(interval);
  QObject::connect(&timer_, &QTimer::timeout, this, &FormTimer::Tick);
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                   this, &FormTimer::OnLoopWaits);
}

void FormTimer::SetEnabled(bool enabled) {
  enabled_ = enabled && timer_.interval() > 0;
  if (!enabled_) {
    timer_.stop();
  } else if (!timer_.isActive()) {
    timer_.start();
  }
}

// When a tick returns, whatever runs is not held back: either this tick's timer, or one
// started again inside it, whose own ticks have returned too.
void FormTimer::Tick() {
  if (!enabled_) return;
  heldBack_ = true;
  onTick_();
  heldBack_ = false;
}

// An event loop inside a tick's handler is about to wait: the timer starts again as a new
// Qt timer, whose ticks that loop delivers.
void FormTimer::OnLoopWaits() {
  if (!heldBack_ || !enabled_) return;
  heldBack_ = false;
  timer_.start();
}

}  // namespace lumivo
