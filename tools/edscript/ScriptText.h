#pragma once
// The words of a driver script line, and how the driver prints bytes.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace plomaret::edscript {

// A line's words: bare words as written; a double-quoted string with its C escapes
// resolved, UTF-8 turned into Shift-JIS and \xHH taken as a raw byte. Everything
// after an unquoted '#' is a comment.
struct TWord {
  std::string Text;
  bool Quoted = false;
  // A quoted word's text as written (UTF-8, escapes resolved), before it became Shift-JIS.
  std::string Written;
};
std::vector<TWord> SplitLine(std::string_view line);

// Bytes for the output, all ASCII: \r \n \t \" \\ as C escapes, other control bytes
// and bytes from 0x80 up as \xhh.
std::string Escape(std::string_view bytes);

struct EScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace plomaret::edscript
