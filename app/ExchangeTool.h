#pragma once
// plomaret-exchange: the Exchange rewrite for many files at once, without a window.
// Each file is streamed through the text-file reader and the fix-up and written with
// CR LF after every line: the same bytes as Exchange then SaveAs in the window.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "app/XFileFixup.h"
#include "framework/core/FileReplacer.h"

namespace plomaret {

struct TExchangeResult {
  TFixupCounts Counts;
  // Byte 26 ends a file's text; what follows it is not rewritten.
  int64_t EndMarkOffset = -1;
  int64_t BytesAfterEndMark = 0;
};

// Rewrites the text file at input into output (not yet committed). Refuses a file
// that is not text before writing anything.
TExchangeResult ExchangeFile(const std::string& input, TFileReplacer& output);

// The line reporting what was done to input: written to output (the same name when in
// place), its old bytes kept in backup (empty: none).
std::string ExchangeReport(const std::string& input, const std::string& output, const std::string& backup,
                           const TFixupCounts& counts);

// The command line: returns the process exit code (0 done, 1 a file failed, 2 bad usage).
int RunExchangeTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace plomaret
