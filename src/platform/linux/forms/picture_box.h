#pragma once

#include <QCursor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/form_layout.h"

namespace lumivo {

// A picture box control: shows its picture, carries the labels placed on it as windowless
// click areas with their pointer and tool tip, and reports mouse messages as mouse moves, the
// tray's clicks on the icon it hosts among them.
class PictureBox final : public QWidget {
  Q_OBJECT

 public:
  // Placed at the form's twips per pixel; a picture that was asked for and cannot be decoded
  // leaves the box incomplete.
  PictureBox(const ControlLayout& layout, QWidget* container, float twipsPerPixel);

  int Id() const { return id_; }
  // The picture the layout gave it.
  Picture Shows() const { return shows_; }
  bool Complete() const { return complete_; }
  QIcon Icon() const { return icon_; }
  void AddLabel(const ControlLayout& label);

  // Message 512 with this X in pixels: what a real mouse move reports, and what the shell's
  // tray callback puts there, the mouse message on the icon.
  void ReportMouseMessage(std::int16_t x) { emit MouseMessage(id_, x); }

 signals:
  void MouseMessage(int control, std::int16_t x);
  void LabelClicked(int label);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct LabelArea {
    int id;
    QRect bounds;  // in the box's pixels, inside its border
    QCursor cursor;
    QString toolTip;
  };

  QRect PixelRect(const ControlLayout& control) const;
  const LabelArea* LabelAt(QPoint point) const;

  int id_;
  Picture shows_;
  float twipsPerPixel_;
  int borderWidth_;
  bool threeD_;
  std::optional<QPixmap> picture_;
  QIcon icon_;
  QCursor cursor_;
  std::vector<LabelArea> labels_;
  // The label the left button went down on; a click needs the button to come up there.
  std::optional<int> pressedLabel_;
  bool complete_;
};

}  // namespace lumivo
