#pragma once
// Drives the Qt front end from inside its modal loops, the way a user does:
// each step waits until the page or box it names is the window in front,
// then acts on it with Qt Test's simulated input.
//
//   PageDriver driver;
//   driver.on_page("Select search term", [](PageDialog& page) {
//     click_line(page, kIdCandidateList, 1);
//     press_enter(page);
//   });
//   show_sample_search_term_page();
//
// When its steps have run out while a page or box is still open, the driver
// closes it with its close box and notes that it ran out.
#include <QMessageBox>
#include <QObject>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/page_dialog.h"

class QListWidget;
class QLineEdit;
class QPushButton;

namespace qt_tests {

class PageDriver : public QObject {
 public:
  PageDriver();
  ~PageDriver() override;

  void on_page(const std::string& caption, std::function<void(platform::PageDialog&)> act);
  void on_box(std::function<void(QMessageBox&)> act);

  bool done() const { return steps_.empty(); }
  bool ran_out = false;
  std::vector<std::string> problems;
  std::vector<std::string> box_texts;  // every box a step acted on

 private:
  struct Step {
    std::string caption;  // pages: their caption; empty for a box
    bool box;
    std::function<void(QWidget*)> act;
  };
  void schedule();
  void poll();
  bool wanted(const Step& step, QWidget* top) const;

  std::deque<Step> steps_;
  std::vector<QWidget*> acting_on_;  // windows that running steps act on, innermost last
  int idle_polls_ = 0;
};

// Simulated input on a page's controls, by control id.
QListWidget* list_of(platform::PageDialog& page, int id);
QLineEdit* edit_of(platform::PageDialog& page, int id);
QPushButton* button_of(platform::PageDialog& page, int id);
// Clicks that line of the list, or double-clicks it.
void click_line(platform::PageDialog& page, int list_id, int line, bool twice = false);
// The list's selected line as the user sees it; -1 for none.
int shown_selection(platform::PageDialog& page, int list_id);
QStringList shown_lines(platform::PageDialog& page, int list_id);

}  // namespace qt_tests
