// The bench's floor for lumivo's idle cost: a Qt program with a tray icon and a 10 ms timer
// that does nothing else.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QPixmap picture(16, 16);
  picture.fill(Qt::green);
  QSystemTrayIcon trayIcon{QIcon(picture)};
  trayIcon.show();
  unsigned long ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(10);
  return QApplication::exec();
}
