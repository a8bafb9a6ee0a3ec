#pragma once
// String operations shared by every part of the program. Texts are 8-bit
// Windows-1252 strings held by value; positions are 0-based byte indexes and
// -1 means "not found". Case changes touch only A-Z and a-z.
#include <string>
#include <vector>

void strip_leading(std::string& text, char c);   // every c at the start
void strip_trailing(std::string& text, char c);  // every c at the end
void remove_char(std::string& text, char c);     // every c anywhere
void remove_tabs_and_breaks(std::string& text);  // TAB, CR, LF
// Every `from` becomes `to`; equal characters leave the text as it is.
void replace_char(std::string& text, char from, char to);
// Adjacent pairs of blanks, taken left to right, become one blank each:
// a run of n blanks keeps ceil(n / 2).
void squeeze_blanks(std::string& text);
void to_lower(std::string& text);
// Upper-cases the first character and every character that follows one of
// the separators. Nothing is lowered.
void capitalize_words(std::string& text, const std::string& separators);
// Decodes %XX escapes the way strtol reads them; a zero byte is dropped.
void url_unescape(std::string& text);
// Removes control characters (C0 and DEL) and the five bytes Windows-1252
// leaves undefined: they are no characters of a name, and the undefined ones
// must not reach the file system's boundary, where they mean something else.
// The one exception is an escape of a letter the code page lacks
// (platform::foreign_character_escape), which stays whole; an escape of a
// control character, the bidi marks included, goes whole.
void remove_controls_and_undefined(std::string& text);
// Makes the text usable as one file or folder name (no path separators, no
// control characters).
void safe_file_name(std::string& text);

// "1 file", "2 files": the count and the word in its number.
std::string counted(size_t count, const std::string& one, const std::string& many);

// First occurrence of needle at or after start; -1 for an empty needle or a
// start at or past the end.
int find_text(const std::string& haystack, const std::string& needle, int start);
// Start of the last occurrence of needle that ends at or before start.
int rfind_text(const std::string& haystack, const std::string& needle, int start);

// Appends every maximal run of characters that holds none of the delimiters.
void split_any(std::vector<std::string>& list, const std::string& text,
               const std::string& delimiters);
// While needle occurs, removes count characters at its first occurrence,
// searching again from the start each time. A count below 1 does nothing.
void erase_all(std::string& text, const std::string& needle, int count);
