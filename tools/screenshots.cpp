// Runs the program in its desktop windows on an album folder and saves a
// picture of every page and box it shows, at the size it opens at and, for
// the pages, made larger, before taking its default button, for a person
// to look at (scripts/screenshots sets up the demo album and
// the stand-in database). The windows' captions are drawn above each
// picture, as a window manager would show them.
//
//   screenshots ALBUM_FOLDER PICTURE_FOLDER
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/driver.h"
#include "platform/codepage.h"
#include "platform/dialogs/front_end.h"
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
  QPointer<QWidget> last;                   // null again once that window is gone
  std::vector<QPointer<QWidget>> pictured;  // windows still open
  int shown = 0;
  // The pages the menu opens, visited from the first page.
  QStringList from_menu = {"Filenames", "Database Token..."};
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr || front == last || !front->isVisible()) return;
    last = front;
    const bool box = dynamic_cast<QMessageBox*>(front) != nullptr;
    if (std::find(pictured.begin(), pictured.end(), front) == pictured.end()) {
      pictured.emplace_back(front);
      const QString name = QString("%1/%2").arg(pictures).arg(++shown, 2, 10, QChar('0'));
      save(*front, name + ".png");
      if (!box) {
        const QSize opened = front->size();
        front->resize(opened.width() * 3 / 2, opened.height() * 3 / 2);
        QApplication::processEvents();
        save(*front, name + "-larger.png");
      }
    }
    // From outside this handler: what the key or the menu starts may open
    // the next window in a loop of its own, and the poll must go on
    // meanwhile.
    for (QAction* action : front->findChildren<QAction*>()) {
      if (!from_menu.isEmpty() && action->text().remove('&') == from_menu.first()) {
        from_menu.removeFirst();
        QTimer::singleShot(0, action, [action] { action->trigger(); });
        return;
      }
    }
    QTimer::singleShot(0, front, [front] {
      QWidget* focused = front->focusWidget();
      QTest::keyClick(focused != nullptr ? focused : front, Qt::Key_Return);
    });
  });
  poll.start(200);
  const std::string folder = argv[1];
  return run_plinth({"plinth " + folder, platform::name_from_fs(folder)});
}
