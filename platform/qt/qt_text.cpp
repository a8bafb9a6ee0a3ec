#include "platform/qt/qt_text.h"

#include "platform/codepage.h"

namespace platform {

QString qt_text(const std::string& cp1252) { return QString::fromStdString(to_utf8(cp1252)); }

std::string page_text(const QString& text) { return text_from_utf8(text.toStdString()); }

}  // namespace platform
