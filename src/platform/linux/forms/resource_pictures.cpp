#include "platform/linux/forms/resource_pictures.h"

#include <QFile>
#include <QImageReader>
#include <QString>
#include <QtEndian>

namespace lumivo {
namespace {

QString ResourcePath(Picture picture) {
  switch (picture) {
    case Picture::ClosedDoorLamp:
      return QStringLiteral(":/pictures/closed_lamp.ico");
    case Picture::OpenDoorLamp:
      return QStringLiteral(":/pictures/open_lamp.ico");
    case Picture::ProgramIcon:
      return QStringLiteral(":/pictures/program.ico");
    case Picture::AboutPicture:
      return QStringLiteral(":/pictures/about.gif");
    case Picture::HandCursor:
      return QStringLiteral(":/pictures/hand.cur");
    case Picture::None:
      break;
  }
  return {};
}

// A cursor file's first directory entry keeps the hot spot where an icon keeps its planes
// and bit count: two little-endian 16-bit numbers at bytes 10 and 12.
QPoint CursorHotSpot(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray header = file.read(14);
  if (header.size() < 14) return {};
  return {qFromLittleEndian<quint16>(header.constData() + 10),
          qFromLittleEndian<quint16>(header.constData() + 12)};
}

}  // namespace

std::optional<QPixmap> LoadPicture(Picture picture) {
  if (picture == Picture::None) return std::nullopt;
  QImageReader reader(ResourcePath(picture));
  const QImage image = reader.read();
  if (image.isNull()) return std::nullopt;
  return QPixmap::fromImage(image);
}

QIcon LoadIcon(Picture picture) {
  return picture == Picture::None ? QIcon() : QIcon(ResourcePath(picture));
}

QCursor LoadCursor(Picture picture) {
  const std::optional<QPixmap> pointer = LoadPicture(picture);
  if (!pointer) return QCursor(Qt::ArrowCursor);
  const QPoint hotSpot = CursorHotSpot(ResourcePath(picture));
  return QCursor(*pointer, hotSpot.x(), hotSpot.y());
}

}  // namespace lumivo
