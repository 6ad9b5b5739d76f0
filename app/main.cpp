// The program: the main window on Qt, until it is closed. An error that reaches the
// event loop is shown in a message box and the program goes on.

#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Unit1.h"
#include "framework/core/Translate.h"
#include "framework/gui/Application.h"
#include "framework/qt/QtApplication.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

// Prints what the command line asks for; -1 when the window should open.
int Answer(const plomaret::TCommandLine& line) {
  std::string out;
  std::string err;
  const int code = plomaret::AnswerCommandLine(line, out, err);
  std::cout << out;
  std::cerr << err;
  return code;
}

void SayNoMemory() {
  try {
    std::cerr << "plomaret: " << plomaret::Tr("Not enough memory to read the command line.") << '\n';
  } catch (const std::bad_alloc&) {
    // Not even the translation fits: the words as they are.
    std::fputs("plomaret: Not enough memory to read the command line.\n", stderr);
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace plomaret;
  // The whole command line is read before Qt starts, so that a wrong one is answered
  // without a display; Qt is given only its own options.
  TCommandLine line;
  try {
    line = ParseCommandLine(Arguments(argc, argv));
    if (const int code = Answer(line); code >= 0) return code;
  } catch (const std::bad_alloc&) {
    SayNoMemory();
    return 1;
  }
  std::vector<char*> qtArgv{argv[0]};
  for (std::string& arg : line.QtArgs) qtArgv.push_back(arg.data());
  int qtArgc = static_cast<int>(qtArgv.size());
  qtArgv.push_back(nullptr);
  return RunQtApplication(qtArgc, qtArgv.data(), [&](TComponent& owner) {
    TForm1* form = Create<TForm1>(&owner);
    form->Show();
    if (!line.File.empty()) {
      // As Open does after its dialog; a file that cannot be read is reported.
      try {
        form->OpenFile(line.File);
      } catch (const std::exception& error) {
        Application().HandleException(error);
      }
    }
    return -1;
  });
}
