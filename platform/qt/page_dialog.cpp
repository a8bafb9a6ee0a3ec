#include "platform/qt/page_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "platform/qt/line_tips.h"
#include "platform/qt/page_font.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/template_grid.h"

namespace platform {
namespace {

// The page's client area, below the menu bar: the grid of its controls.
class ClientArea : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<void(int, int)> on_resize;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (on_resize) on_resize(width(), height());
  }
};

// A list asks for the room its lines need: as wide as its widest line and
// tall enough for twelve of them, or for all of them up to twenty-four,
// and never less than its template gives it.
class ContentList : public QListWidget {
 public:
  ContentList(QSize template_size, QWidget* parent)
      : QListWidget(parent), template_size_(template_size) {}

  QSize sizeHint() const override {
    constexpr int kFewestRows = 12;
    constexpr int kMostRows = 24;
    const int frame = 2 * frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int row = count() > 0 ? sizeHintForRow(0) : fontMetrics().height() + 2;
    const int rows = std::min(std::max(count(), kFewestRows), kMostRows);
    const int widest = count() > 0 ? sizeHintForColumn(0) : 0;
    return QSize(std::max(template_size_.width(), widest + frame + bar + 4),
                 std::max(template_size_.height(), rows * row + frame));
  }

 private:
  QSize template_size_;
};

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
  lay_out_controls();
  link_scrolling();
  sync();
  open_at_content_size();
  // Arrow keys work at once on the page's list, and Enter still takes the
  // default button.
  if (QWidget* first = first_focus()) first->setFocus();
}

QWidget* PageDialog::control_widget(int id) const {
  if (id == kNoControlId) return nullptr;
  const std::vector<Control>& controls = page_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].id == id) return shown_[i].widget;
  }
  return nullptr;
}

QWidget* PageDialog::first_focus() const {
  const std::vector<Control>& controls = page_.controls();
  for (const bool lists : {true, false}) {
    for (size_t i = 0; i < controls.size(); ++i) {
      if (lists ? controls[i].is_list() : controls[i].is_edit()) return shown_[i].widget;
    }
  }
  return nullptr;
}

void PageDialog::build_frame() {
  const DialogTemplate& dialog = page_.dialog_template();
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMaximizeButtonHint;
  setWindowFlags(flags);
  setModal(true);
  setSizeGripEnabled(true);
  setFont(page_font());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* client = new ClientArea(this);
  client_ = client;
  layout->addWidget(client_);
  if (page_.menu() != nullptr) {
    menu_bar_ = new QMenuBar(this);
    menu_bar_->setNativeMenuBar(false);  // in the window, where the page's users look for it
    layout->setMenuBar(menu_bar_);
  }

  if (dialog.resizable()) {
    // The page's own smallest size; the page hears of every new size, as on
    // the desktop platform, though the grid places the widgets here.
    const MinMaxInfo limits = page_.min_max_info();
    client_->setMinimumSize(std::max(1, limits.min_track_width),
                            std::max(1, limits.min_track_height));
    client->on_resize = [this](int width, int height) { client_resized(width, height); };
  }
}

void PageDialog::build_menu() {
  if (menu_bar_ == nullptr) return;
  for (const MenuPopup& popup : page_.menu()->popups) {
    QMenu* menu = menu_bar_->addMenu(keys_.marked(qt_text(popup.title)));
    MnemonicPicker item_keys;
    for (const MenuItem& item : popup.items) {
      QAction* action = menu->addAction(item_keys.marked(qt_text(item.text)));
      const int command = item.command;
      menu_actions_.emplace_back(command, action);
      connect(action, &QAction::triggered, this,
              [this, command] { deliver([this, command] { page_.command(command); }); });
    }
  }
}

void PageDialog::build_controls() {
  for (const Control& control : page_.controls()) {
    const QString text = qt_text(control.text);
    QWidget* widget = make_widget(control, control.is_button() ? keys_.marked(text) : text);
    if (control.id != kNoControlId)
      widget->setObjectName(QStringLiteral("control_%1").arg(control.id));
    shown_.push_back({widget, {}, -1, text});
  }
}

void PageDialog::lay_out_controls() {
  const TemplateGrid grid = template_grid(page_.dialog_template());
  const std::vector<Control>& controls = page_.controls();
  auto* layout = new QGridLayout(client_);
  // The controls of each cell, in template order.
  std::map<std::pair<int, int>, std::vector<size_t>> cells;
  for (size_t i = 0; i < controls.size(); ++i) {
    const GridCell& cell = grid.cells[i];
    cells[{cell.row, cell.column}].push_back(i);
    // Lists take the room the window gains; edit fields take its width.
    if (controls[i].is_list()) layout->setRowStretch(cell.row, 1);
    if ((controls[i].is_list() || controls[i].is_edit()) && cell.column_span == 1)
      layout->setColumnStretch(cell.column, 1);
  }
  // Without a list, the room the window gains goes below the controls.
  const bool any_list = std::any_of(controls.begin(), controls.end(),
                                    [](const Control& control) { return control.is_list(); });
  if (!any_list) layout->setRowStretch(grid.rows, 1);
  for (const auto& [at, members] : cells) {
    const GridCell& cell = grid.cells[members.front()];
    if (members.size() == 1) {
      const Control& control = controls[members.front()];
      const Qt::Alignment alignment = control.is_button() ? Qt::AlignLeft | Qt::AlignTop
                                      : control.kind == ControlKind::kStaticText
                                          ? Qt::AlignLeft | Qt::AlignVCenter
                                          : Qt::Alignment();
      layout->addWidget(shown_[members.front()].widget, cell.row, cell.column, 1, cell.column_span,
                        alignment);
      continue;
    }
    // Buttons stacked at the top of their cell, as the template stacks them.
    auto* stack = new QVBoxLayout;
    bool only_buttons = true;
    for (const size_t i : members) {
      stack->addWidget(shown_[i].widget);
      only_buttons = only_buttons && controls[i].is_button();
    }
    if (only_buttons) stack->addStretch(1);
    layout->addLayout(stack, cell.row, cell.column, 1, cell.column_span);
  }
}

void PageDialog::open_at_content_size() {
  layout()->activate();
  QSize size = sizeHint();
  if (const QScreen* screen = this->screen()) {
    const QRect room = screen->availableGeometry();
    size = size.boundedTo(QSize(room.width() * 3 / 4, room.height() * 3 / 4));
  }
  resize(size.expandedTo(minimumSizeHint()));
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

QWidget* PageDialog::make_widget(const Control& control, const QString& button_text) {
  const int id = control.id;
  switch (control.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton: {
      auto* button = new QPushButton(button_text, client_);
      button->setDefault(control.kind == ControlKind::kDefPushButton);
      button->setFocusPolicy(focus_policy(control.style));
      button->installEventFilter(new ArrowKeysStay(button));
      connect(button, &QPushButton::clicked, this,
              [this, id] { deliver([this, id] { page_.command(id); }); });
      return button;
    }
    case ControlKind::kListBox: {
      auto* list = new ContentList(QSize(control.rect.width, control.rect.height), client_);
      watch_list(list, id, control.style);
      return list;
    }
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(client_);
      edit->setFrame((control.style & kStyleBorder) != 0);
      edit->setMinimumWidth(control.rect.width);
      // A secret is neither shown nor copied out of the field.
      if ((control.style & kStylePassword) != 0) edit->setEchoMode(QLineEdit::Password);
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
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  if ((control.style & kStyleNoPrefix) != 0) {
    // The window opens wide enough for a long name, but may be made
    // narrower; the name can be copied.
    label->setMinimumWidth(1);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }
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
      if (shown.text != text) {
        shown.text = text;
        button->setText(MnemonicPicker().marked(text));
      }
    } else if (auto* label = qobject_cast<QLabel*>(shown.widget)) {
      const QString text = qt_text(control.text);
      if (label->text() != text) {
        label->setText(text);
        if (label->minimumWidth() == 1) label->setToolTip(text);  // whole where it is cut
      }
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
    list->updateGeometry();  // the room it asks for follows its lines
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
