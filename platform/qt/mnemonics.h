#pragma once
// Alt+letter keys for the menu titles, menu items and buttons of a window,
// as desktop users expect them ("&Settings", "&Next >>"). They are chosen
// here from the texts, so the pages' texts stay as they are everywhere else.
#include <QString>

namespace platform {

class MnemonicPicker {
 public:
  // The text with a '&' before its key: the first letter or digit of one
  // of its words that no earlier text of the same group took, else any
  // other free one; without a key when none is free. A '&' of the text
  // itself is doubled, so that it shows as written.
  QString marked(const QString& text);

 private:
  QString taken_;  // lower case
};

}  // namespace platform
