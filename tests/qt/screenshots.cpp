// Saves a picture of every page and box as the desktop front end draws it,
// at the template sizes (and the match page also at its minimum size), for
// a person to look at. The pages' captions are drawn above each picture,
// as a window manager would show them.
//
//   qt_screenshots FOLDER
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <cstdio>
#include <string>

#include "platform/front_end.h"
#include "platform/qt/page_font.h"
#include "platform/qt/qt_front_end.h"
#include "tests/qt/support/page_driver.h"
#include "tests/qt/support/sample_pages.h"

namespace {

using platform::PageDialog;
using qt_tests::PageDriver;

QString g_folder;
int g_saved = 0;

void save(QWidget& window, const QString& name) {
  const QPixmap body = window.grab();
  const QFontMetrics metrics(window.font());
  const int bar = metrics.height() + 10;
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
  const QString path = g_folder + "/" + name + ".png";
  if (image.save(path)) {
    ++g_saved;
    std::printf("%s\n", path.toStdString().c_str());
  } else {
    std::fprintf(stderr, "cannot write %s\n", path.toStdString().c_str());
  }
}

void shoot_page(PageDriver& driver, const std::string& caption, const QString& name) {
  driver.on_page(caption, [name](PageDialog& page) {
    save(page, name);
    page.close();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: qt_screenshots FOLDER\n");
    return 2;
  }
  g_folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_folder);

  platform::QtFrontEnd desktop;
  platform::set_front_end(&desktop);
  const platform::BaseUnits units = desktop.base_units();
  std::printf("page font: %s, %d pt; dialog base units %d x %d pixels\n",
              platform::page_font().family().toStdString().c_str(),
              platform::page_font().pointSize(), units.width, units.height);
  qt_tests::SampleRun run = qt_tests::sample_album();
  qt_tests::set_sample_run(&run);
  PageDriver driver;

  shoot_page(driver, "Select search term", "104-search-term");
  qt_tests::show_sample_search_term_page();

  shoot_page(driver, "Select search result term", "101-search-result");
  qt_tests::show_sample_result_page();

  run.results = {"Harbour Lights[CD, Northern Records]",
                 "Harbour Lights[LP, Album, Northern Records]",
                 "Salt on the Window[CD, Single, Northern Records]",
                 "Live at the Long Pier Ballroom, Remastered Deluxe Edition[2xCD, Album, "
                 "Northern Records]",
                 "North Sound Sessions[Cass, EP, Tidewater Tapes]"};
  shoot_page(driver, "Select release", "101-release");
  qt_tests::show_sample_release_page();

  driver.on_page("Confirm track matches", [](PageDialog& page) {
    save(page, "102-match");
    page.resize(1, 1);  // held at the page's minimum size
    QApplication::processEvents();
    save(page, "102-match-minimum");
    page.close();
  });
  qt_tests::show_sample_match_page();

  shoot_page(driver, "Output Name Configuration", "106-name-configuration");
  qt_tests::show_sample_names_page();

  driver.on_box([](QMessageBox& box) {
    save(box, "box-error");
    box.close();
  });
  platform::message_box(nullptr, "Please select a search result from the list", "Error!",
                        platform::kBoxIconWarning);
  driver.on_box([](QMessageBox& box) {
    save(box, "box-question");
    box.close();
  });
  platform::message_box(nullptr, "Replace the tags of 10 files?", "Plinth Duziva",
                        platform::kBoxYesNo);

  platform::set_front_end(nullptr);
  const bool complete = g_saved == 8 && driver.problems.empty() && !driver.ran_out;
  if (!complete) {
    std::fprintf(stderr, "%d pictures saved%s\n", g_saved,
                 driver.ran_out ? "; a window was left open" : "");
    for (const std::string& problem : driver.problems)
      std::fprintf(stderr, "%s\n", problem.c_str());
  }
  return complete ? 0 : 1;
}
