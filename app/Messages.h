#pragma once
// Messages about files that the window and the batch tool share, in the user's language.

#include <cstdint>
#include <string>

namespace plomaret {

// "95 MB", "12 KB", "300 bytes", "1 byte".
std::string SizeForPeople(int64_t bytes);

// "Not enough memory to open "plane.x" (95 MB).": verb is what was being done ("open" or
// "rewrite"), name how the file is shown; the size is read from the file at path (left out
// when it cannot be).
std::string NotEnoughMemoryMessage(const std::string& verb, const std::string& name, const std::string& path);

// "plane.x: 120 bytes after the end-of-file mark (0x1A) at byte 4096 are not part of
// the text".
std::string EndMarkMessage(const std::string& name, int64_t markOffset, int64_t bytesAfter);

}  // namespace plomaret
