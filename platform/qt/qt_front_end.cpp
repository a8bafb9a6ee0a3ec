#include "platform/qt/qt_front_end.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <cerrno>
#include <clocale>
#include <string>

#include "platform/dialogs/dialog.h"
#include "platform/qt/page_dialog.h"
#include "platform/qt/page_font.h"
#include "platform/qt/qt_text.h"
#include "platform/shell.h"

namespace platform {
namespace {

constexpr unsigned kBoxButtons = 0x0F;
constexpr unsigned kBoxIcons = 0xF0;
constexpr unsigned kBoxIconStop = 0x10;
constexpr unsigned kBoxIconQuestion = 0x20;
constexpr unsigned kBoxIconInformation = 0x40;

int g_argc = 1;
char g_name[] = "plinth";
char* g_argv[] = {g_name, nullptr};

// The program's application object, made on first use when the program has
// none (the tests make their own). It stays until the process ends: Qt's
// own globals may already be gone when a static object would delete it.
void ensure_application() {
  if (QCoreApplication::instance() != nullptr) return;
  // Qt sets the process locale from the environment; the program's own
  // text handling keeps the locale it had.
  const std::string locale = std::setlocale(LC_ALL, nullptr);
  static QApplication* const application = new QApplication(g_argc, g_argv);
  std::setlocale(LC_ALL, locale.c_str());
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Plinth"));
  QGuiApplication::setDesktopFileName(QStringLiteral("plinth"));
  (void)application;
}

QMessageBox::Icon box_icon(unsigned style) {
  switch (style & kBoxIcons) {
    case kBoxIconWarning:
      return QMessageBox::Warning;
    case kBoxIconStop:
      return QMessageBox::Critical;
    case kBoxIconQuestion:
      return QMessageBox::Question;
    case kBoxIconInformation:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

int QtFrontEnd::message_box(Window* owner, const std::string& text, const std::string& caption,
                            unsigned style) {
  ensure_application();
  const bool question = (style & kBoxButtons) == kBoxYesNo;
  QMessageBox box(window_of(owner));
  box.setWindowTitle(qt_text(caption));
  box.setTextFormat(Qt::PlainText);  // names and tags are never markup
  box.setText(qt_text(text));
  box.setIcon(box_icon(style));
  if (question) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int answer = box.exec();
  if (!question) return kAnswerOk;
  // Esc and the close box answer No, as the end of a terminal's input does.
  return answer == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

void QtFrontEnd::run_modal(Window& page) {
  ensure_application();
  PageDialog dialog(page, window_of(page.owner()));
  shown_.push_back({&page, &dialog});
  dialog.exec();
  shown_.pop_back();
  if (!page.ended()) {
    page.close();
    if (!page.ended()) page.end(kIdCancel);
  }
}

BaseUnits QtFrontEnd::base_units() const {
  ensure_application();
  return base_units_of(page_font());
}

bool QtFrontEnd::open_url(const std::string& url) {
  ensure_application();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool opened = xdg_open(url);
  QApplication::restoreOverrideCursor();
  return opened;
}

void QtFrontEnd::show_wait(const std::string& what, int seconds, bool stoppable) {
  ensure_application();
  if (wait_ == nullptr) {
    QWidget* owner = shown_.empty() ? nullptr : shown_.back().window;
    // A stoppable wait's box is a window of its own, so that the page under
    // it can be kept from input while its Cancel still takes a click.
    wait_ = new QProgressDialog(stoppable ? nullptr : owner);
    wait_->setWindowTitle(QStringLiteral("Plinth"));
    if (stoppable) {
      wait_->setCancelButtonText(QStringLiteral("Cancel"));
    } else {
      wait_->setCancelButton(nullptr);
    }
    wait_->setRange(0, 0);  // no end known: a busy bar
    wait_->setMinimumDuration(0);
    wait_->setWindowModality(Qt::NonModal);
    // The page stays in sight underneath, but only the box takes input.
    if (stoppable && owner != nullptr) {
      owner->setEnabled(false);
      held_page_ = owner;
    }
    wait_->show();
    if (held_page_ != nullptr) {
      wait_->move(held_page_->frameGeometry().center() - wait_->rect().center());
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  wait_->setLabelText(qt_text(what) + (seconds > 0 ? QStringLiteral("... %1 s").arg(seconds)
                                                   : QStringLiteral("...")));
  // Drawing, moves and resizes go on; clicks and keys for the page wait in
  // the queue until it can take them again. A stoppable wait's box takes
  // its Cancel (and Escape) at once.
  QApplication::processEvents(stoppable ? QEventLoop::AllEvents
                                        : QEventLoop::ExcludeUserInputEvents);
}

bool QtFrontEnd::wait_stopped() { return wait_ != nullptr && wait_->wasCanceled(); }

void QtFrontEnd::end_wait() {
  if (wait_ == nullptr) return;
  delete wait_;
  wait_ = nullptr;
  if (held_page_ != nullptr) held_page_->setEnabled(true);
  held_page_ = nullptr;
  QApplication::restoreOverrideCursor();
}

QWidget* QtFrontEnd::window_of(const Window* page) const {
  if (page == nullptr) return nullptr;
  for (const Shown& shown : shown_) {
    if (shown.page == page) return shown.window;
  }
  return nullptr;
}

bool QtFrontEnd::can_open_display() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) return true;
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
    // Qt aborts here when it cannot open the display.
    QApplication probe(g_argc, g_argv);
    _exit(QGuiApplication::primaryScreen() != nullptr ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
