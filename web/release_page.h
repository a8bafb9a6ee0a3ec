#pragma once
#include <string>

#include "model/release.h"

void read_release_page(const std::string& page, Release& release);
// pos is read and written; -1 stands for "none".
void read_detail_row(const std::string& label, const std::string& page, int& pos,
                     std::string& field);
// Cuts a track name before the first bracket that holds a ':'.
void cut_credit_brackets(std::string& name);
