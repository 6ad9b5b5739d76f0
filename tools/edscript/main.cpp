// edscript: runs a driver script against the editor on the headless backend and
// prints what the script asks for. See README.md beside this file, or --help.

#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "Driver.h"

namespace {

const char kUsage[] =
    "usage: edscript [--echo] SCRIPT (or - for standard input)\n"
    "       edscript --help\n";

}  // namespace

int main(int argc, char** argv) {
  bool echo = false;
  std::optional<std::string> path;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::cout << kUsage << "\n--echo prints each command line, after \"> \", before what it prints.\n";
      plomaret::edscript::TScriptDriver::PrintHelp(std::cout);
      return 0;
    }
    if (arg == "--echo") {
      echo = true;
    } else if (!path && (arg == "-" || !arg.starts_with("--"))) {
      path = arg;
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (!path) {
    std::cerr << kUsage;
    return 2;
  }
  std::ifstream file;
  if (*path != "-") {
    file.open(*path, std::ios::binary);
    if (!file) {
      std::cerr << "edscript: cannot read " << *path << '\n';
      return 2;
    }
  }
  plomaret::edscript::TScriptDriver driver;
  driver.SetEcho(echo);
  // Failed lines are reported in the output, where the expected output can check them.
  driver.Run(*path == "-" ? std::cin : file, std::cout);
  return 0;
}
