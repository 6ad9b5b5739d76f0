#pragma once
// Text as the window shows it. Canvases and message boxes take program text (Shift-JIS);
// messages are UTF-8, and file names are the system's bytes, which may be either.

#include <initializer_list>
#include <string>
#include <string_view>

namespace plomaret {

bool IsUtf8(std::string_view bytes);

// A file name (the system's bytes) as program text, as the system would decode it: UTF-8
// as such; otherwise the bytes taken as Shift-JIS (names from old archives), each byte
// that is no character there shown as a middle dot, as the Windows code page shows it.
// Only the display changes, never the name.
std::string ShownName(std::string_view name);

// A UTF-8 message that may hold names in the system's bytes (an error from the file
// layer) as program text: the UTF-8 converted, any run that is not UTF-8 shown as
// ShownName shows a name.
std::string ShownMessage(std::string_view text);

// A translated UTF-8 sentence with "%1", "%2"... standing for parts that are program
// text already (a name through ShownName): the sentence is converted and the parts put
// in as they are, so no part goes through a conversion that could garble it.
std::string ShownSentence(std::string_view sentence, std::initializer_list<std::string_view> parts);

}  // namespace plomaret
