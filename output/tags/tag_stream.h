#pragma once
// A file opened for the tag library to read. Reads go straight to the file
// at a position kept here, and the size is taken once, so reading the tags
// of a file costs a handful of system calls instead of the dozen or more of
// the library's own stream: it adds up over a folder of hundreds of files.
#include <tiostream.h>

#include <memory>
#include <string>

// Null unless the name is a regular file that can be read. Opened without
// blocking, so a FIFO under the name cannot stall the run.
std::unique_ptr<TagLib::IOStream> open_tag_stream(const std::string& name);
