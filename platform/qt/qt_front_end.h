#pragma once
// The desktop front end: pages as modal Qt windows laid out from their
// templates, message boxes as Qt message boxes. It makes the application
// object itself when the program has none yet.
#include <string>
#include <vector>

#include "platform/dialogs/front_end.h"

class QProgressDialog;
class QWidget;

namespace platform {

class QtFrontEnd : public FrontEnd {
 public:
  QtFrontEnd() = default;
  int message_box(Window* owner, const std::string& text, const std::string& caption,
                  unsigned style) override;
  void run_modal(Window& page) override;
  // From the pages' font: its average character width and its height.
  BaseUnits base_units() const override;
  // With the desktop's opener, as the terminal does.
  bool open_url(const std::string& url) override;
  // A busy cursor and a small box over the page that says what the program
  // waits for, with a Cancel button when the wait can be stopped; the
  // windows are drawn meanwhile, but the page takes no input.
  void show_wait(const std::string& what, int seconds, bool stoppable) override;
  bool wait_stopped() override;
  void end_wait() override;

  // True when a Qt application can be started on the display that the
  // environment names. Tried in a child process, because Qt ends a process
  // whose display cannot be opened.
  static bool can_open_display();

 private:
  // The window that shows a running page, for the boxes it owns.
  QWidget* window_of(const Window* page) const;

  struct Shown {
    const Window* page;
    QWidget* window;
  };
  std::vector<Shown> shown_;         // running pages, innermost last
  QProgressDialog* wait_ = nullptr;  // the wait notice on show
  QWidget* held_page_ = nullptr;     // the page a stoppable wait keeps from input
};

}  // namespace platform
