#include <csignal>
#include <iostream>

#include "app/ExchangeTool.h"

int main(int argc, char** argv) {
  // A reader that goes away (| head) must not stop a batch half-way: the failed
  // report makes the exit status 1 once every file is done.
  std::signal(SIGPIPE, SIG_IGN);
  return plomaret::RunExchangeTool(argc, argv, std::cout, std::cerr);
}
