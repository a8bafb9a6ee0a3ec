#include "platform/qt/mnemonics.h"

#include <vector>

namespace platform {

QString MnemonicPicker::marked(const QString& text) {
  // Word starts first, then every other letter or digit.
  std::vector<int> candidates, others;
  for (int i = 0; i < text.size(); ++i) {
    if (!text[i].isLetterOrNumber()) continue;
    const bool word_start = i == 0 || !text[i - 1].isLetterOrNumber();
    (word_start ? candidates : others).push_back(i);
  }
  candidates.insert(candidates.end(), others.begin(), others.end());
  int key = -1;
  for (const int i : candidates) {
    if (!taken_.contains(text[i].toLower())) {
      key = i;
      break;
    }
  }
  if (key >= 0) taken_ += text[key].toLower();
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (i == key) out += QLatin1Char('&');
    out += text[i];
    if (text[i] == QLatin1Char('&')) out += QLatin1Char('&');
  }
  return out;
}

}  // namespace platform
