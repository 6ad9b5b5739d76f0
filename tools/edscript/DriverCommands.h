#pragma once
// The driver's command table: each command's name, its arguments as usage errors and
// --help show them, how many words they take, one line of help and its handler. The
// commands are kept by area, a file an area; a handler reads its words through TCall,
// whose usage error quotes the table.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "DriverState.h"
#include "ScriptText.h"

namespace plomaret::edscript {

using TArgs = std::vector<TWord>;

struct TCall;

struct TCommand {
  const char* Name;
  const char* Args;  // "" when it takes none
  size_t Least;      // how many words the arguments take at least
  size_t Most;       // and at most; the driver checks both before the handler runs
  const char* Help;
  void (*Run)(TCall& call);
};

inline constexpr size_t kAnyCount = static_cast<size_t>(-1);

struct TCommandGroup {
  const char* Title;
  std::span<const TCommand> Commands;
};

// One command line being run: the words after the command's name and where it prints.
struct TCall {
  TDriverState& State;
  const TCommand& Command;
  const TArgs& Args;
  std::ostream& Out;

  TEditor& Editor() const { return State.Current(); }
  size_t Count() const { return Args.size(); }
  const std::string& Word(size_t i) const { return Args[i].Text; }
  bool Is(size_t i, std::string_view word) const { return i < Args.size() && Args[i].Text == word; }
  int Int(size_t i) const;
  // "usage: NAME ARGS", from the table.
  [[noreturn]] void Usage() const;
  // Which of words Args[i] is; a usage error when it is none of them.
  size_t OneOf(size_t i, std::initializer_list<std::string_view> words) const;
  // Flags: every word from Args[from] on must be one of names; which ones were given.
  template <size_t N>
  std::array<bool, N> Flags(size_t from, const char* const (&names)[N]) const {
    std::array<bool, N> given{};
    for (size_t i = from; i < Args.size(); ++i) given[FlagIndex(i, names, N)] = true;
    return given;
  }

 private:
  size_t FlagIndex(size_t i, const char* const* names, size_t count) const;
};

// A number as the script writes it: decimal, or hexadecimal after 0x.
int ToInt(const TWord& word);

// The areas, in the order --help lists them.
TCommandGroup ControlCommands();
TCommandGroup MainWindowCommands();
TCommandGroup TextCommands();
TCommandGroup CaretCommands();
TCommandGroup MarkCommands();
TCommandGroup SelectionCommands();
TCommandGroup EditingCommands();
TCommandGroup InputCommands();
TCommandGroup OutputCommands();

}  // namespace plomaret::edscript
