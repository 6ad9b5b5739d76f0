#pragma once
// Runs driver scripts against editors on the headless backend.

#include <iosfwd>
#include <map>
#include <string>

#include "DriverCommands.h"
#include "DriverState.h"

namespace plomaret::edscript {

class TScriptDriver {
 public:
  TScriptDriver();

  // Prints each command line, after "> ", before what it prints (comments and blank lines
  // are not printed).
  void SetEcho(bool echo) { FEcho = echo; }
  // Runs every line of script, printing to out; returns the number of failed lines.
  int Run(std::istream& script, std::ostream& out);
  // One line; false when it failed (the error is printed).
  bool RunLine(const std::string& line, std::ostream& out);

  // Every command with its arguments and a line of help, by area.
  static void PrintHelp(std::ostream& out);

 private:
  TDriverState FState;
  std::map<std::string, const TCommand*, std::less<>> FCommands;
  bool FEcho = false;
};

}  // namespace plomaret::edscript
