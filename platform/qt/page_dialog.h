#pragma once
// One running page as a modal Qt dialog. Its widgets are laid out in a grid
// read from the page's template (template_grid.h), so that the window opens
// at the size its content needs and its lists take the room it gains; the
// user's input goes to the page as messages, and after each message the
// widgets are drawn again from the page.
#include <QDialog>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialogs/dialog.h"
#include "platform/qt/mnemonics.h"

class QAction;
class QListWidget;
class QMenuBar;

namespace platform {

class PageDialog : public QDialog {
 public:
  PageDialog(Window& page, QWidget* parent);

  Window& page() { return page_; }
  // The widget of the control with that id; nullptr when there is none.
  QWidget* control_widget(int id) const;
  // The area the controls stand in, below the menu bar.
  QWidget* client_area() const { return client_; }
  // The control that has the focus when the page opens: its first list, else
  // its first edit field; nullptr when it has neither.
  QWidget* first_focus() const;
  QMenuBar* menu_bar() const { return menu_bar_; }

 protected:
  void reject() override;                        // Esc: the Cancel command
  void closeEvent(QCloseEvent* event) override;  // the close box: the close message

 private:
  struct Shown {
    QWidget* widget;
    std::vector<std::string> lines;  // list boxes: the lines on show
    int extent = -1;                 // list boxes: the extent on show
    QString text;                    // buttons: the page's text they show
  };

  void build_frame();
  void build_menu();
  void build_controls();
  void lay_out_controls();
  void open_at_content_size();
  void link_scrolling();
  QWidget* make_widget(const Control& control, const QString& button_text);
  void watch_list(QListWidget* list, int id, unsigned style);

  // Delivers one piece of input to the page, then draws what changed and
  // closes the dialog when the page has ended.
  template <typename Input>
  void deliver(Input input);
  void after_message(bool force_sync);
  void sync();
  void sync_list(QListWidget* list, const Control& control, Shown& shown);
  void client_resized(int width, int height);

  Window& page_;
  QMenuBar* menu_bar_ = nullptr;
  std::vector<std::pair<int, QAction*>> menu_actions_;  // by command
  MnemonicPicker keys_;  // the menu bar's titles and the buttons share them
  QWidget* client_ = nullptr;
  std::vector<Shown> shown_;  // parallel to page_.controls()
  unsigned drawn_revision_ = 0;
  bool syncing_ = false;
};

}  // namespace platform
