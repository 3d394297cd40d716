// zorq-bank: builds the factory bank from its text source (see BankApp.h).
#include <iostream>
#include <string>
#include <vector>

#include "zorq-bank/BankApp.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return BankApp::run(arguments, std::cout, std::cerr);
}
