#include "platform/qt/page_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

#include "platform/qt/line_tips.h"
#include "platform/qt/page_font.h"
#include "platform/qt/qt_text.h"

namespace platform {
namespace {

// The page's client area: the controls stand in it at their pixel
// positions, below the menu bar, as in a dialog of the desktop platform.
class ClientArea : public QWidget {
 public:
  ClientArea(QSize initial, QWidget* parent) : QWidget(parent), initial_(initial) {}
  QSize sizeHint() const override { return initial_; }
  std::function<void(int, int)> on_resize;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (on_resize) on_resize(width(), height());
  }

 private:
  QSize initial_;
};

QRect to_qrect(const Rect& rect) { return QRect(rect.left, rect.top, rect.width, rect.height); }

int selected_row(const QListWidget* list) {
  const QList<QListWidgetItem*> picked = list->selectedItems();
  return picked.isEmpty() ? -1 : list->row(picked.first());
}

Qt::FocusPolicy focus_policy(unsigned style) {
  return (style & kStyleTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus;
}

// Arrow keys on a push button would move the focus to the next button (a
// Down and then Enter on "Next >>" would press "Cancel"); here they do
// nothing, and Tab moves between the controls.
class ArrowKeysStay : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
          return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

// The scrollable width of a list is its extent, or its widest line when
// that is wider, so that no line is cut where the extent underrates it.
void apply_extent(QListWidget* list, int extent) {
  for (int row = 0; row < list->count(); ++row) {
    QListWidgetItem* item = list->item(row);
    item->setSizeHint(QSize());
    const QSize natural = list->sizeHintForIndex(list->model()->index(row, 0));
    if (natural.width() < extent) item->setSizeHint(QSize(extent, natural.height()));
  }
}

}  // namespace

PageDialog::PageDialog(Window& page, QWidget* parent) : QDialog(parent), page_(page) {
  build_frame();
  build_menu();
  build_controls();
  link_scrolling();
  sync();
  if (page_.dialog_template().resizable()) {
    // Opens at the template's size, even where Qt would trim a window to a
    // part of a small screen.
    const Size size = page_.client_size();
    const int menu_height = menu_bar_ != nullptr ? menu_bar_->sizeHint().height() : 0;
    resize(size.width, size.height + menu_height);
  }
}

QWidget* PageDialog::control_widget(int id) const {
  if (id == kNoControlId) return nullptr;
  const std::vector<Control>& controls = page_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].id == id) return shown_[i].widget;
  }
  return nullptr;
}

void PageDialog::build_frame() {
  const DialogTemplate& dialog = page_.dialog_template();
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if ((dialog.frame & kFrameMaximizeBox) != 0) flags |= Qt::WindowMaximizeButtonHint;
  setWindowFlags(flags);
  setModal(true);
  setFont(page_font());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  const Size size = page_.client_size();
  auto* client = new ClientArea(QSize(size.width, size.height), this);
  client_ = client;
  layout->addWidget(client_);
  if (page_.menu() != nullptr) {
    menu_bar_ = new QMenuBar(this);
    menu_bar_->setNativeMenuBar(false);  // in the window, where the page's users look for it
    layout->setMenuBar(menu_bar_);
  }

  if (dialog.resizable()) {
    const MinMaxInfo limits = page_.min_max_info();
    client_->setMinimumSize(std::max(1, limits.min_track_width),
                            std::max(1, limits.min_track_height));
    client->on_resize = [this](int width, int height) { client_resized(width, height); };
  } else {
    client_->setFixedSize(size.width, size.height);
    layout->setSizeConstraint(QLayout::SetFixedSize);
  }
}

void PageDialog::build_menu() {
  if (menu_bar_ == nullptr) return;
  for (const MenuPopup& popup : page_.menu()->popups) {
    QMenu* menu = menu_bar_->addMenu(qt_text(popup.title));
    for (const MenuItem& item : popup.items) {
      QAction* action = menu->addAction(qt_text(item.text));
      const int command = item.command;
      menu_actions_.emplace_back(command, action);
      connect(action, &QAction::triggered, this,
              [this, command] { deliver([this, command] { page_.command(command); }); });
    }
  }
}

void PageDialog::build_controls() {
  for (const Control& control : page_.controls()) {
    QWidget* widget = make_widget(control);
    if (control.id != kNoControlId)
      widget->setObjectName(QStringLiteral("control_%1").arg(control.id));
    shown_.push_back({widget, {}, -1});
  }
}

void PageDialog::link_scrolling() {
  for (const auto& [one, other] : page_.scroll_pairs()) {
    auto* first = qobject_cast<QListWidget*>(control_widget(one));
    auto* second = qobject_cast<QListWidget*>(control_widget(other));
    if (first == nullptr || second == nullptr) continue;
    QScrollBar* a = first->verticalScrollBar();
    QScrollBar* b = second->verticalScrollBar();
    // Setting the value it already has emits nothing, so this never loops.
    connect(a, &QScrollBar::valueChanged, b, &QScrollBar::setValue);
    connect(b, &QScrollBar::valueChanged, a, &QScrollBar::setValue);
    // Rows stay level only while both show as many: when one needs its
    // horizontal scroll bar, the other shows one too.
    const auto even_out = [first, second] {
      const bool first_needs = first->horizontalScrollBar()->maximum() > 0;
      const bool second_needs = second->horizontalScrollBar()->maximum() > 0;
      const auto policy = [](bool spacer) {
        return spacer ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
      };
      if (!first_needs) first->setHorizontalScrollBarPolicy(policy(second_needs));
      if (!second_needs) second->setHorizontalScrollBarPolicy(policy(first_needs));
    };
    connect(first->horizontalScrollBar(), &QScrollBar::rangeChanged, this, even_out);
    connect(second->horizontalScrollBar(), &QScrollBar::rangeChanged, this, even_out);
  }
}

QWidget* PageDialog::make_widget(const Control& control) {
  const int id = control.id;
  switch (control.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton: {
      auto* button = new QPushButton(client_);
      button->setDefault(control.kind == ControlKind::kDefPushButton);
      button->setFocusPolicy(focus_policy(control.style));
      button->installEventFilter(new ArrowKeysStay(button));
      connect(button, &QPushButton::clicked, this,
              [this, id] { deliver([this, id] { page_.command(id); }); });
      return button;
    }
    case ControlKind::kListBox: {
      auto* list = new QListWidget(client_);
      watch_list(list, id, control.style);
      return list;
    }
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(client_);
      edit->setFrame((control.style & kStyleBorder) != 0);
      // A field to type in is always reachable with Tab, in template order.
      edit->setFocusPolicy(Qt::StrongFocus);
      connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
        deliver([this, id, &text] { page_.user_set_text(id, page_text(text)); });
      });
      return edit;
    }
    case ControlKind::kStaticText:
      break;
  }
  auto* label = new QLabel(client_);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

void PageDialog::watch_list(QListWidget* list, int id, unsigned style) {
  const bool selectable = (style & kStyleNoSelection) == 0;
  list->setSelectionMode(selectable ? QAbstractItemView::SingleSelection
                                    : QAbstractItemView::NoSelection);
  list->setFrameShape((style & kStyleBorder) != 0 ? QFrame::StyledPanel : QFrame::NoFrame);
  // The style draws no mark on a list that has the focus; its frame then
  // takes the colour of the selection, as a focused text field's does.
  if ((style & kStyleBorder) != 0)
    list->setStyleSheet(
        QStringLiteral("QListWidget:focus { border: 1px solid palette(highlight); }"));
  list->setVerticalScrollBarPolicy((style & kStyleVScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff);
  list->setHorizontalScrollBarPolicy((style & kStyleHScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
  list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list->setFocusPolicy(focus_policy(style));
  show_cut_lines_as_tips(list);
  if (selectable) {
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list, id] {
      if (syncing_) return;
      const int row = selected_row(list);
      if (!page_.ended() && row >= 0 && row != page_.selection(id)) page_.user_select(id, row);
      // Always drawn again: the page may refuse the line, and a list box of
      // this kind never loses its selection to a click.
      after_message(true);
    });
  }
  if ((style & kStyleNotify) != 0) {
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, id] { deliver([this, id] { page_.command(id, kListDoubleClick); }); });
  }
}

template <typename Input>
void PageDialog::deliver(Input input) {
  if (page_.ended()) return;
  input();
  after_message(false);
}

void PageDialog::after_message(bool force_sync) {
  if (force_sync || page_.revision() != drawn_revision_) sync();
  if (page_.ended() && isVisible()) done(page_.result());
}

void PageDialog::sync() {
  syncing_ = true;
  setWindowTitle(qt_text(page_.text()));
  const std::vector<Control>& controls = page_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& control = controls[i];
    Shown& shown = shown_[i];
    QRect rect = to_qrect(control.rect);
    if (auto* label = qobject_cast<QLabel*>(shown.widget)) {
      // The desktop's font may need a few pixels more than the template
      // gives a text; a label is never cut off at its right end.
      const int needed = label->fontMetrics().horizontalAdvance(qt_text(control.text));
      rect.setWidth(std::max(rect.width(), needed));
    }
    if (shown.widget->geometry() != rect) shown.widget->setGeometry(rect);
    if (auto* list = qobject_cast<QListWidget*>(shown.widget)) {
      sync_list(list, control, shown);
    } else if (auto* edit = qobject_cast<QLineEdit*>(shown.widget)) {
      // Compared in the code page, so that what the user typed stays as
      // typed while the page holds the same text.
      if (page_text(edit->text()) != control.text) {
        const int cursor = edit->cursorPosition();
        edit->setText(qt_text(control.text));
        edit->setCursorPosition(std::min(cursor, static_cast<int>(edit->text().size())));
      }
    } else if (auto* button = qobject_cast<QPushButton*>(shown.widget)) {
      const QString text = qt_text(control.text);
      if (button->text() != text) button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(shown.widget)) {
      const QString text = qt_text(control.text);
      if (label->text() != text) label->setText(text);
    }
  }
  for (const auto& [command, action] : menu_actions_) {
    const int check = page_.menu_item_check(command);
    action->setCheckable(check >= 0);
    action->setChecked(check > 0);
  }
  drawn_revision_ = page_.revision();
  syncing_ = false;
}

void PageDialog::sync_list(QListWidget* list, const Control& control, Shown& shown) {
  if (shown.lines != control.lines) {
    list->clear();
    for (const std::string& line : control.lines) list->addItem(qt_text(line));
    shown.lines = control.lines;
    shown.extent = -1;
  }
  if (shown.extent != control.horizontal_extent) {
    apply_extent(list, control.horizontal_extent);
    shown.extent = control.horizontal_extent;
  }
  if (selected_row(list) == control.selection) return;
  if (control.selection < 0) {
    list->clearSelection();
    list->setCurrentItem(nullptr);
  } else {
    list->setCurrentRow(control.selection);
    list->scrollToItem(list->item(control.selection));
  }
}

void PageDialog::client_resized(int width, int height) {
  deliver([this, width, height] { page_.resize(width, height); });
}

void PageDialog::reject() {
  deliver([this] { page_.command(kIdCancel); });
}

void PageDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  // Not while a command of the page waits (the busy cursor is on): the
  // page is in the middle of that command.
  if (QApplication::overrideCursor() != nullptr) return;
  deliver([this] { page_.close(); });
}

}  // namespace platform
