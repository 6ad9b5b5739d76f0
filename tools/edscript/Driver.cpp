#include "Driver.h"

#include <algorithm>
#include <filesystem>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

#include "framework/core/Translate.h"

namespace plomaret::edscript {

namespace {

std::vector<TCommandGroup> Groups() {
  return {ControlCommands(), MainWindowCommands(), TextCommands(),    CaretCommands(), MarkCommands(),
          SelectionCommands(), EditingCommands(),  InputCommands(), OutputCommands()};
}

// Output names the folder the script runs in as "./", so expected output does not
// depend on where it ran.
std::string WithRelativePaths(std::string text) {
  const std::string folder = std::filesystem::current_path().string() + "/";
  for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at + 2)) {
    text.replace(at, folder.size(), "./");
  }
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A line with a command on it, as written but for blanks around it; empty for a blank
// line or one that is only a comment.
std::string CommandLineText(const std::string& line) {
  size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  if (first == line.size() || line[first] == '#') return {};
  size_t end = line.size();
  while (IsBlank(line[end - 1])) --end;
  return line.substr(first, end - first);
}

}  // namespace

// ---- Reading a command's words ----

int ToInt(const TWord& word) {
  try {
    size_t used = 0;
    const long long value = std::stoll(word.Text, &used, 0);
    if (used != word.Text.size() || value < INT32_MIN || value > INT32_MAX) throw std::out_of_range("");
    return static_cast<int>(value);
  } catch (const std::logic_error&) {
    throw EScriptError("'" + word.Text + "' is not a number");
  }
}

int TCall::Int(size_t i) const { return ToInt(Args[i]); }

void TCall::Usage() const {
  std::string usage = std::string("usage: ") + Command.Name;
  if (*Command.Args != '\0') usage += std::string(" ") + Command.Args;
  throw EScriptError(usage);
}

size_t TCall::OneOf(size_t i, std::initializer_list<std::string_view> words) const {
  size_t index = 0;
  for (std::string_view word : words) {
    if (Is(i, word)) return index;
    ++index;
  }
  Usage();
}

size_t TCall::FlagIndex(size_t i, const char* const* names, size_t count) const {
  for (size_t index = 0; index < count; ++index) {
    if (Args[i].Text == names[index]) return index;
  }
  Usage();
}

// ---- The driver ----

TScriptDriver::TScriptDriver() {
  // A script's expected output does not depend on the language of whoever runs it.
  SetLanguage(lnEnglish);
  for (const TCommandGroup& group : Groups()) {
    for (const TCommand& command : group.Commands) {
      if (!FCommands.emplace(command.Name, &command).second) throw std::logic_error(std::string("two commands ") + command.Name);
    }
  }
}

int TScriptDriver::Run(std::istream& script, std::ostream& out) {
  int failed = 0;
  std::string line;
  while (std::getline(script, line)) {
    if (!RunLine(line, out)) ++failed;
  }
  return failed;
}

bool TScriptDriver::RunLine(const std::string& line, std::ostream& out) {
  std::ostringstream printed;
  struct TFlush {
    std::ostringstream& From;
    std::ostream& To;
    ~TFlush() { To << WithRelativePaths(From.str()); }
  } flush{printed, out};
  if (FEcho) {
    if (const std::string written = CommandLineText(line); !written.empty()) printed << "> " << written << '\n';
  }
  try {
    TArgs words = SplitLine(line);
    if (words.empty()) return true;
    auto found = FCommands.find(words.front().Text);
    if (found == FCommands.end()) throw EScriptError("unknown command '" + words.front().Text + "'");
    const TCommand& command = *found->second;
    words.erase(words.begin());
    TCall call{FState, command, words, printed};
    if (words.size() < command.Least || words.size() > command.Most) call.Usage();
    command.Run(call);
    // Idle, as a message loop would be: what was invalidated is painted now.
    FState.Idle();
    return true;
  } catch (const std::exception& error) {
    printed << "error: " << Escape(error.what()) << '\n';
    return false;
  }
}

void TScriptDriver::PrintHelp(std::ostream& out) {
  // The help in a column of its own, after at least two blanks.
  constexpr size_t kHelpColumn = 44;
  for (const TCommandGroup& group : Groups()) {
    out << '\n' << group.Title << '\n';
    for (const TCommand& command : group.Commands) {
      std::string usage = std::string("  ") + command.Name;
      if (*command.Args != '\0') usage += std::string(" ") + command.Args;
      usage.resize(std::max(usage.size() + 2, kHelpColumn), ' ');
      out << usage << command.Help << '\n';
    }
  }
}

}  // namespace plomaret::edscript
