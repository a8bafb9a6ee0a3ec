#pragma once
// The cleaners of text taken from the database's pages.
#include <cstddef>
#include <string>

// "&amp;" (any entity whose name holds "amp") becomes '&'; every other
// entity of up to six letters is removed; a '&' without a ';' close behind
// stays.
void decode_entities(std::string& text);
// The page's UTF-8 as Latin-1: the letters U+00C0 to U+00FF become one
// byte, every other non-ASCII character is dropped whole.
void utf8_to_latin1(const char* src, size_t length, std::string& dst);
// The pages are UTF-8 while the program holds the code page; a text that is
// not valid UTF-8 (an older page in Latin-1) is taken as it stands.
std::string page_text_in_code_page(const std::string& page_text);
// Every '/' becomes "and".
void slash_to_and(std::string& text);
