#include "app/CommandLine.h"

#include <string_view>

#include "framework/core/Translate.h"

namespace plomaret {

namespace {

constexpr const char* kVersion = "1.0";

// The options QGuiApplication, QApplication and the X11 platform read (-title, -icon and
// -geometry are X11's names for -qwindowtitle ...); Qt takes them with one dash or two.
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "geometry", "title", "icon", "name", "visual", "style", "stylesheet"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "testability", "nograb", "dograb"};
constexpr std::string_view kQtOptionsWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};

// The option's name without its dashes when it is one of Qt's, else empty.
std::string_view QtOptionName(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '-') return {};
  arg.remove_prefix(arg[1] == '-' ? 2 : 1);
  for (std::string_view name : kQtOptionsWithValue) {
    if (arg == name) return name;
  }
  for (std::string_view name : kQtFlags) {
    if (arg == name) return name;
  }
  for (std::string_view prefix : kQtOptionsWithEquals) {
    if (arg.starts_with(prefix)) return prefix;
  }
  return {};
}

bool TakesValue(std::string_view qtOption) {
  for (std::string_view name : kQtOptionsWithValue) {
    if (qtOption == name) return true;
  }
  return false;
}

TCommandLine Mistake(std::string message) { return {TCommandLine::clError, {}, std::move(message), {}}; }

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine line;
  bool options = true;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "-h" || arg == "--help")) {
      if (line.Action == TCommandLine::clRun) line.Action = TCommandLine::clHelp;
    } else if (options && arg == "--version") {
      if (line.Action == TCommandLine::clRun) line.Action = TCommandLine::clVersion;
    } else if (const std::string_view qt = options ? QtOptionName(arg) : std::string_view(); !qt.empty()) {
      line.QtArgs.push_back(arg);
      if (TakesValue(qt)) {
        if (++i == args.size()) return Mistake(TrFormat("the option '%1' needs a value", {arg}));
        line.QtArgs.push_back(args[i]);
      }
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return Mistake(TrFormat("unknown option '%1'", {arg}));
    } else if (!line.File.empty()) {
      return Mistake(TrFormat("one file at a time: '%1' was not opened", {arg}));
    } else if (arg.empty()) {
      return Mistake(Tr("an empty file name"));
    } else {
      line.File = arg;
    }
  }
  return line;
}

std::string UsageLine() { return Tr("usage: plomaret [FILE.x] | --help | --version") + "\n"; }

std::string HelpText() {
  return UsageLine() +
         Tr("Opens FILE.x (a DirectX text mesh file written by Metasequoia LE 2.4) in the editor;\n"
            "Exchange rewrites it so that FMS's parameter editor reads it as before.\n"
            "The same rewrite without a window: plomaret-exchange --help.\n"
            "Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed to Qt.\n");
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
