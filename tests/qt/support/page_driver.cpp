#include "tests/qt/support/page_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace qt_tests {
namespace {

// Polls come often; a step that never finds its window gives up after many
// of them, so that a broken page fails its test instead of hanging it.
constexpr int kPollMilliseconds = 5;
constexpr int kPatiencePolls = 4000;

}  // namespace

PageDriver::PageDriver() { schedule(); }

PageDriver::~PageDriver() = default;

void PageDriver::on_page(const std::string& caption,
                         std::function<void(platform::PageDialog&)> act) {
  steps_.push_back({caption, false, [act = std::move(act)](QWidget* top) {
                      act(*dynamic_cast<platform::PageDialog*>(top));
                    }});
}

void PageDriver::on_box(std::function<void(QMessageBox&)> act) {
  steps_.push_back({"", true, [this, act = std::move(act)](QWidget* top) {
                      auto& box = *dynamic_cast<QMessageBox*>(top);
                      box_texts.push_back(box.text().toStdString());
                      act(box);
                    }});
}

void PageDriver::schedule() {
  QTimer::singleShot(kPollMilliseconds, this, [this] { poll(); });
}

bool PageDriver::wanted(const Step& step, QWidget* top) const {
  if (top == nullptr || !top->isVisible()) return false;
  if (step.box) return dynamic_cast<QMessageBox*>(top) != nullptr;
  auto* page = dynamic_cast<platform::PageDialog*>(top);
  return page != nullptr && page->page().text() == step.caption;
}

void PageDriver::poll() {
  // The next poll is due before this step acts: the step may open a box or
  // a page whose own loop must find the following step.
  schedule();
  QWidget* top = QApplication::activeModalWidget();
  // A step still acting on the window in front (and letting events through)
  // is left to finish; a window it opened is the next step's.
  if (std::find(acting_on_.begin(), acting_on_.end(), top) != acting_on_.end()) return;
  if (steps_.empty()) {
    if (top != nullptr && top->isVisible()) {
      ran_out = true;
      problems.push_back("left open: '" + top->windowTitle().toStdString() + "'");
      top->close();
    }
    return;
  }
  if (!wanted(steps_.front(), top)) {
    if (++idle_polls_ < kPatiencePolls) return;
    problems.push_back("no window for the step waiting for '" + steps_.front().caption + "'");
    steps_.clear();
    return;
  }
  idle_polls_ = 0;
  Step step = std::move(steps_.front());
  steps_.pop_front();
  acting_on_.push_back(top);
  step.act(top);
  acting_on_.pop_back();
}

QListWidget* list_of(platform::PageDialog& page, int id) {
  return qobject_cast<QListWidget*>(page.control_widget(id));
}

QLineEdit* edit_of(platform::PageDialog& page, int id) {
  return qobject_cast<QLineEdit*>(page.control_widget(id));
}

QPushButton* button_of(platform::PageDialog& page, int id) {
  return qobject_cast<QPushButton*>(page.control_widget(id));
}

void click_line(platform::PageDialog& page, int list_id, int line, bool twice) {
  QListWidget* list = list_of(page, list_id);
  const QPoint at = list->visualItemRect(list->item(line)).center();
  if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  if (!twice) QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

int shown_selection(platform::PageDialog& page, int list_id) {
  const QList<QListWidgetItem*> picked = list_of(page, list_id)->selectedItems();
  return picked.isEmpty() ? -1 : list_of(page, list_id)->row(picked.first());
}

QStringList shown_lines(platform::PageDialog& page, int list_id) {
  QStringList lines;
  QListWidget* list = list_of(page, list_id);
  for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
  return lines;
}

}  // namespace qt_tests
