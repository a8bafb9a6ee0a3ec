#include "platform/qt/line_tips.h"

#include <QEvent>
#include <QHelpEvent>
#include <QListWidget>
#include <QObject>
#include <QStyle>
#include <QToolTip>

namespace platform {
namespace {

class CutLineTips : public QObject {
 public:
  explicit CutLineTips(QListWidget* list) : QObject(list), list_(list) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
    auto* help = static_cast<QHelpEvent*>(event);
    QListWidgetItem* item = list_->itemAt(help->pos());
    if (item != nullptr && cut_off(item)) {
      QToolTip::showText(help->globalPos(), item->text(), list_->viewport(),
                         list_->visualItemRect(item));
    } else {
      QToolTip::hideText();
    }
    return true;
  }

 private:
  bool cut_off(QListWidgetItem* item) const {
    const QRect line = list_->visualItemRect(item);
    // The style's margin on either side of an item's text.
    const int margin =
        list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    const int text_end =
        line.left() + 2 * margin + list_->fontMetrics().horizontalAdvance(item->text());
    return line.left() < 0 || text_end > list_->viewport()->width();
  }

  QListWidget* list_;
};

}  // namespace

void show_cut_lines_as_tips(QListWidget* list) {
  list->viewport()->installEventFilter(new CutLineTips(list));
}

}  // namespace platform
