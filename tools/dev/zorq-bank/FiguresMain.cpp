// zorq-bank-figures: measures the factory bank through the built plug-in (see
// FiguresApp.h).
#include <iostream>
#include <string>
#include <vector>

#include "zorq-bank/FiguresApp.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return FiguresApp::run(arguments, std::cout, std::cerr);
}
