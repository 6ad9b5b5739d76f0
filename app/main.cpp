// The program: the main window on Qt, until it is closed. An error that reaches the
// event loop is shown in a message box and the program goes on; running out of memory
// before the window is up is said on stderr.

#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MemoryReserve.h"
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

// english is the message as it is, translated the message said (made by the caller, so that
// the catalog sees the literal); when even that fails, the words as they are.
template <class Translated>
void SayNoMemory(const char* english, Translated translated) {
  try {
    std::cerr << "plomaret: " << translated() << '\n';
  } catch (const std::bad_alloc&) {
    std::fputs("plomaret: ", stderr);
    std::fputs(english, stderr);
    std::fputs("\n", stderr);
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace plomaret;
  if (!ReserveMemoryForFailures()) {
    std::fputs("plomaret: Not enough memory to start.\n", stderr);
    return 1;
  }
  // The whole command line is read before Qt starts, so that a wrong one is answered
  // without a display; Qt is given only its own options.
  TCommandLine line;
  try {
    line = ParseCommandLine(Arguments(argc, argv));
    if (const int code = Answer(line); code >= 0) return code;
  } catch (const std::bad_alloc&) {
    SayNoMemory("Not enough memory to read the command line.",
                [] { return Tr("Not enough memory to read the command line."); });
    return 1;
  }
  // Once the window is up, the event loop shows such failures in a message box.
  try {
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
  } catch (const std::bad_alloc&) {
    SayNoMemory("Not enough memory to start the window.", [] { return Tr("Not enough memory to start the window."); });
    return 1;
  }
}
