#pragma once
// The window program's command line: `plomaret [FILE]`, `--help`, `--version`, and Qt's
// own options, all read before anything needs a display.

#include <string>
#include <vector>

namespace plomaret {

struct TCommandLine {
  enum TAction { clRun, clHelp, clVersion, clError };
  TAction Action = clRun;
  std::string File;     // to open at start; empty: none
  std::string Message;  // for clError: what was wrong, in the user's language
  // Qt's options (-platform NAME, -style=NAME, ...) with their values, as given: what
  // the window hands to Qt, which sees nothing else of the command line.
  std::vector<std::string> QtArgs;
};

// Reads the arguments after the program's name. "--" ends the options, so a file
// named "-x.x" can be given; "-" alone is a file name too. Qt's options are taken
// with one dash or two, as Qt takes them.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help prints, and the usage line that goes with an error.
std::string HelpText();
std::string UsageLine();
std::string VersionText();

// Prints what the command line asks for; returns the exit code when the program
// should stop here (help, version: 0; an error: 2), or -1 to go on.
int AnswerCommandLine(const TCommandLine& line, std::string& out, std::string& err);

}  // namespace plomaret
