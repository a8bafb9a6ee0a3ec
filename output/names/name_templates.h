#pragma once
// Names built from the user's name templates (folder, playlist, track
// file): "/1" to "/9" stand for fields of the chosen release or one of its
// tracks: /1 artist, /2 title, /3 label, /4 catalogue number, /5 release
// date, /6 track artist, /7 track name, /8 track number, /9 style; any
// other number stands for nothing.
//
// The names come out as they go to the file system: made safe as one name
// in the folder, with their extension (".m3u", ".mp3").
#include <string>

#include "model/release.h"

// Every placeholder takes its field's value (never expanded again). A
// bracket pair "[]", "()" or "{}" of the template that holds nothing but
// placeholders and blanks, all of them empty, goes with one blank beside it.
void expand_template(std::string& text, const Release& release, int track);
std::string placeholder_value(int number, const Release& release, int track);
// A name from its template for the release, or an error text in its place
// when there is no release (or no such track); made safe, with extension.
std::string output_folder_name(const Release* release, const std::string& folder_template);
std::string playlist_name(const Release* release, const std::string& playlist_template);
std::string track_file_name(const Release* release, int track, const std::string& track_template);
// False when the template, with every field filled, still leaves nothing but
// blanks of a file name once made safe: "" or "/0" would name every track
// ".mp3".
bool template_names_something(const std::string& text);
