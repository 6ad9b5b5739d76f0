#include "app/CommandLine.h"

namespace plomaret {

namespace {
constexpr const char* kVersion = "1.0";
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine line;
  bool options = true;
  for (const std::string& arg : args) {
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "-h" || arg == "--help")) {
      if (line.Action == TCommandLine::clRun) line.Action = TCommandLine::clHelp;
    } else if (options && arg == "--version") {
      if (line.Action == TCommandLine::clRun) line.Action = TCommandLine::clVersion;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return {TCommandLine::clError, {}, "unknown option '" + arg + "'"};
    } else if (!line.File.empty()) {
      return {TCommandLine::clError, {}, "one file at a time: '" + arg + "' was not opened"};
    } else if (arg.empty()) {
      return {TCommandLine::clError, {}, "an empty file name"};
    } else {
      line.File = arg;
    }
  }
  return line;
}

std::string UsageLine() { return "usage: plomaret [FILE.x] | --help | --version\n"; }

std::string HelpText() {
  return UsageLine() +
         "Opens FILE.x (a DirectX text mesh file written by Metasequoia LE 2.4) in the editor;\n"
         "Exchange rewrites it so that FMS's parameter editor reads it as before.\n"
         "The same rewrite without a window: plomaret-exchange --help.\n";
}

std::string VersionText() { return std::string("plomaret ") + kVersion + "\n"; }

int AnswerCommandLine(const TCommandLine& line, std::string& out, std::string& err) {
  switch (line.Action) {
    case TCommandLine::clHelp: out += HelpText(); return 0;
    case TCommandLine::clVersion: out += VersionText(); return 0;
    case TCommandLine::clError: err += "plomaret: " + line.Message + "\n" + UsageLine(); return 2;
    case TCommandLine::clRun: return -1;
  }
  return -1;
}

}  // namespace plomaret
