#pragma once
// The window program's command line: `plomaret [FILE]`, `--help`, `--version`.

#include <string>
#include <vector>

namespace plomaret {

struct TCommandLine {
  enum TAction { clRun, clHelp, clVersion, clError };
  TAction Action = clRun;
  std::string File;     // to open at start; empty: none
  std::string Message;  // for clError: what was wrong
};

// Reads the arguments after the program's name. "--" ends the options, so a file
// named "-x.x" can be given; "-" alone is a file name too.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help prints, and the usage line that goes with an error.
std::string HelpText();
std::string UsageLine();
std::string VersionText();

// Prints what the command line asks for; returns the exit code when the program
// should stop here (help, version: 0; an error: 2), or -1 to go on.
int AnswerCommandLine(const TCommandLine& line, std::string& out, std::string& err);

}  // namespace plomaret
