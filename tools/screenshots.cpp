// Runs the program in its desktop windows on an album folder and saves a
// picture of every page and box it shows, before taking its default button,
// for a person to look at (scripts/screenshots sets up the demo album and
// the stand-in database). The windows' captions are drawn above each
// picture, as a window manager would show them.
//
//   screenshots ALBUM_FOLDER PICTURE_FOLDER
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/driver.h"
#include "platform/codepage.h"
#include "platform/front_end.h"
#include "platform/qt/qt_front_end.h"

namespace {

void save(QWidget& window, const QString& path) {
  const QPixmap body = window.grab();
  const int bar = QFontMetrics(window.font()).height() + 10;
  QImage image(body.width(), body.height() + bar, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.fillRect(0, 0, body.width(), bar, QColor(0x2b, 0x4f, 0x81));
  painter.setPen(Qt::white);
  painter.setFont(window.font());
  painter.drawText(QRect(8, 0, body.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
                   window.windowTitle());
  painter.drawPixmap(0, bar, body);
  painter.end();
  if (image.save(path)) {
    std::printf("%s\n", path.toStdString().c_str());
  } else {
    std::fprintf(stderr, "cannot write %s\n", path.toStdString().c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s ALBUM_FOLDER PICTURE_FOLDER\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  platform::QtFrontEnd ui;
  platform::set_front_end(&ui);
  const QString pictures = QString::fromLocal8Bit(argv[2]);
  // Each new window in front is pictured, then answered with Enter, which
  // its default button takes.
  QPointer<QWidget> last;  // null again once that window is gone
  int shown = 0;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr || front == last || !front->isVisible()) return;
    last = front;
    save(*front, QString("%1/%2.png").arg(pictures).arg(++shown, 2, 10, QChar('0')));
    // From outside this handler: what the key starts may open the next
    // window in a loop of its own, and the poll must go on meanwhile.
    QTimer::singleShot(0, front, [front] {
      QWidget* focused = front->focusWidget();
      QTest::keyClick(focused != nullptr ? focused : front, Qt::Key_Return);
    });
  });
  poll.start(200);
  const std::string folder = argv[1];
  return run_plinth({"plinth " + folder, platform::name_from_fs(folder)});
}
