#pragma once
// The pages hold Windows-1252 text; Qt holds Unicode. Every text crosses here.
#include <QString>
#include <string>

namespace platform {

QString qt_text(const std::string& cp1252);
// What the user typed, in the code page: a character it lacks becomes '?'.
std::string page_text(const QString& text);

}  // namespace platform
