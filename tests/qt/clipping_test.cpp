// Every text of every page fits its control at the template sizes in the
// desktop's font: nothing is cut off.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "resources/resource_ids.h"
#include "tests/qt/support/qt_page_test.h"

namespace qt_tests {
namespace {

using platform::PageDialog;

// The texts of the page's buttons, labels and edit fields that do not fit.
std::vector<std::string> clipped_texts(PageDialog& page) {
  std::vector<std::string> clipped;
  for (QObject* child : page.client_area()->children()) {
    if (auto* button = qobject_cast<QPushButton*>(child)) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QRect room =
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      const QFontMetrics metrics = button->fontMetrics();
      if (metrics.horizontalAdvance(button->text()) > room.width() ||
          metrics.height() > room.height())
        clipped.push_back(button->text().toStdString());
    } else if (auto* label = qobject_cast<QLabel*>(child)) {
      const QFontMetrics metrics = label->fontMetrics();
      if (metrics.horizontalAdvance(label->text()) > label->width() ||
          metrics.height() > label->height())
        clipped.push_back(label->text().toStdString());
    } else if (auto* edit = qobject_cast<QLineEdit*>(child)) {
      if (edit->fontMetrics().height() > edit->contentsRect().height())
        clipped.push_back("edit " + edit->objectName().toStdString());
    }
  }
  return clipped;
}

class Clipping : public QtPageTest {
 protected:
  void check(const std::string& caption, void (*show)()) {
    std::vector<std::string> clipped = {"(not shown)"};
    driver.on_page(caption, [&](PageDialog& page) {
      clipped = clipped_texts(page);
      page.close();
    });
    show();
    EXPECT_TRUE(clipped.empty()) << caption << ": '" << clipped.front() << "' is cut off";
  }
};

TEST_F(Clipping, NothingIsCutOffOnAnyPage) {
  check("Select search term", show_sample_search_term_page);
  check("Select search result term", show_sample_result_page);
  check("Select release", show_sample_release_page);
  check("Confirm track matches", show_sample_match_page);
  check("Output Name Configuration", show_sample_names_page);
}

TEST_F(Clipping, NothingIsCutOffOnTheMatchPageAtItsMinimum) {
  std::vector<std::string> clipped = {"(not shown)"};
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    page.resize(1, 1);
    clipped = clipped_texts(page);
    page.close();
  });
  show_sample_match_page();
  EXPECT_TRUE(clipped.empty()) << "'" << clipped.front() << "' is cut off";
}

}  // namespace
}  // namespace qt_tests
