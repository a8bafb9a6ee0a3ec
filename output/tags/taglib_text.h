#pragma once
// Text between the tag library and the program's code page, both ways.
#include <tstring.h>

#include <string>

// Characters up to U+00FF are taken as bytes, so a Latin-1 frame or an
// ID3v1 field (which in practice hold Windows-1252) keeps its bytes;
// anything else the code page lacks becomes '?'.
std::string code_page_text(const TagLib::String& text);

// The same, except that a letter the code page lacks travels as the code
// page's escape, as in file names: a tag read from a file keeps its
// Japanese letters as search terms. The ID3v1 copy keeps the '?' above.
std::string program_text(const TagLib::String& text);

// The code page's text as the tag library's Unicode.
TagLib::String unicode_text(const std::string& cp1252);
