#include <unistd.h>

#include <csignal>
#include <iostream>
#include <new>
#include <string>

#include "app/ExchangeTool.h"
#include "app/MemoryReserve.h"
#include "framework/core/Translate.h"

namespace {

void Say(const char* text) {
  for (size_t left = std::char_traits<char>::length(text); left > 0;) {
    const ssize_t written = ::write(STDERR_FILENO, text, left);
    if (written <= 0) return;
    text += written;
    left -= static_cast<size_t>(written);
  }
}

// A message in the user's language; the plain English fallback when memory is too
// short even to make it.
template <class MakeText>
void SayMade(MakeText&& makeText, const char* fallback) {
  try {
    const std::string text = makeText();
    Say(text.c_str());
  } catch (const std::bad_alloc&) {
    Say(fallback);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that goes away (| head) must not stop a batch half-way: the failed
  // report makes the exit status 1 once every file is done.
  std::signal(SIGPIPE, SIG_IGN);
  if (!plomaret::ReserveMemoryForFailures()) {
    SayMade(
        [] {
          return "plomaret-exchange: " + plomaret::Tr("Not enough memory to start.") + "\n" +
                 plomaret::Tr("No file was changed.") + "\n";
        },
        "plomaret-exchange: Not enough memory to start.\nNo file was changed.\n");
    return 1;
  }
  try {
    return plomaret::RunExchangeTool(argc, argv, std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    // Every stage reports its own failures; this is what is left when even that failed.
    SayMade([] { return "plomaret-exchange: " + plomaret::Tr("Not enough memory.") + "\n"; },
            "plomaret-exchange: Not enough memory.\n");
    return 1;
  }
}
