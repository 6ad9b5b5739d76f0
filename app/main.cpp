// The program: the main window on Qt, until it is closed. An error that reaches the
// event loop is shown in a message box and the program goes on.

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Unit1.h"
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

}  // namespace

int main(int argc, char** argv) {
  using namespace plomaret;
  // Help and version need no display; the rest is read once Qt has taken its own
  // options (-platform, -session, ...).
  const std::vector<std::string> args = Arguments(argc, argv);
  const TCommandLine early = ParseCommandLine(args);
  if (early.Action == TCommandLine::clHelp || early.Action == TCommandLine::clVersion) return Answer(early);
  // Qt's options have one dash; without any, a wrong command line is answered before Qt starts.
  const bool qtOptions = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' && arg[1] != '-';
  });
  if (early.Action == TCommandLine::clError && !qtOptions) return Answer(early);
  return RunQtApplication(argc, argv, [&](TComponent& owner) {
    const TCommandLine line = ParseCommandLine(Arguments(argc, argv));
    if (const int code = Answer(line); code >= 0) return code;
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
