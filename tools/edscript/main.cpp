// edscript: runs a driver script against the editor on the headless backend and
// prints what the script asks for. See README.md beside this file.

#include <fstream>
#include <iostream>

#include "Driver.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: edscript SCRIPT (or - for standard input)\n";
    return 2;
  }
  const std::string path = argv[1];
  std::ifstream file;
  if (path != "-") {
    file.open(path, std::ios::binary);
    if (!file) {
      std::cerr << "edscript: cannot read " << path << '\n';
      return 2;
    }
  }
  plomaret::edscript::TScriptDriver driver;
  // Failed lines are reported in the output, where the expected output can check them.
  driver.Run(path == "-" ? std::cin : file, std::cout);
  return 0;
}
