#include "platform/linux/forms/picture_box.h"

#include <qdrawutil.h>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <utility>

#include "platform/linux/forms/resource_pictures.h"
#include "platform/twips.h"

namespace lumivo {

PictureBox::PictureBox(const ControlLayout& layout, QWidget* container, float twipsPerPixel)
    : QWidget(container),
      id_(layout.id),
      shows_(layout.picture),
      twipsPerPixel_(twipsPerPixel),
      borderWidth_(layout.appearance == Appearance::Flat ? 1 : 2),
      threeD_(layout.appearance == Appearance::ThreeD),
      picture_(LoadPicture(layout.picture)),
      icon_(LoadIcon(layout.picture)),
      cursor_(LoadCursor(layout.mouseIcon)),
      complete_(layout.picture == Picture::None || picture_.has_value()) {
  QRect frame = PixelRect(layout);
  if (layout.autoSize && picture_) {
    frame.setSize(picture_->size() + QSize(2 * borderWidth_, 2 * borderWidth_));
  }
  setGeometry(frame);
  setMouseTracking(true);
  setCursor(cursor_);
}

QRect PictureBox::PixelRect(const ControlLayout& control) const {
  return {TwipsToPixels(control.left, twipsPerPixel_), TwipsToPixels(control.top, twipsPerPixel_),
          TwipsToPixels(control.width, twipsPerPixel_),
          TwipsToPixels(control.height, twipsPerPixel_)};
}

void PictureBox::AddLabel(const ControlLayout& label) {
  labels_.push_back(
      {label.id, PixelRect(label), LoadCursor(label.mouseIcon),
       QString::fromUtf16(label.toolTip.data(), static_cast<qsizetype>(label.toolTip.size()))});
}

// Label positions count from the inside of the border, like the picture's.
const PictureBox::LabelArea* PictureBox::LabelAt(QPoint point) const {
  const QPoint inside = point - QPoint(borderWidth_, borderWidth_);
  const auto found = std::ranges::find_if(
      labels_, [&](const LabelArea& label) { return label.bounds.contains(inside); });
  return found == labels_.end() ? nullptr : &*found;
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  if (picture_) painter.drawPixmap(borderWidth_, borderWidth_, *picture_);
  if (threeD_) {
    qDrawShadePanel(&painter, rect(), palette(), true, borderWidth_);
  } else {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  const LabelArea* label = LabelAt(event->position().toPoint());
  setCursor(label != nullptr ? label->cursor : cursor_);
  ReportMouseMessage(static_cast<std::int16_t>(event->position().x()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const LabelArea* label = LabelAt(event->position().toPoint());
  if (label != nullptr) pressedLabel_ = label->id;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const std::optional<int> pressed = std::exchange(pressedLabel_, std::nullopt);
  const LabelArea* label = LabelAt(event->position().toPoint());
  if (pressed && label != nullptr && label->id == *pressed) emit LabelClicked(*pressed);
}

bool PictureBox::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const LabelArea* label = LabelAt(help->pos());
  if (label == nullptr || label->toolTip.isEmpty()) {
    QToolTip::hideText();
  } else {
    const QRect area = label->bounds.translated(borderWidth_, borderWidth_);
    QToolTip::showText(help->globalPos(), label->toolTip, this, area);
  }
  return true;
}

}  // namespace lumivo
