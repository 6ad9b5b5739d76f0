#include <iostream>

#include "app/ExchangeTool.h"

int main(int argc, char** argv) { return plomaret::RunExchangeTool(argc, argv, std::cout, std::cerr); }
