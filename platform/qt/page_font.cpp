#include "platform/qt/page_font.h"

#include <QApplication>
#include <QFontMetrics>

namespace platform {

namespace {
constexpr int kPagePoints = 8;
}

QFont page_font() {
  QFont font = QApplication::font();
  font.setPointSize(kPagePoints);
  return font;
}

BaseUnits base_units_of(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  BaseUnits units;
  units.width = (letters / 26 + 1) / 2;
  units.height = metrics.height();
  return units;
}

}  // namespace platform
