#include "factory/FactoryBank.h"

// Defined in the generated FactoryBankData.cpp.
extern const unsigned char kFactoryBankFile[];
extern const size_t kFactoryBankFileSize;

const BankImage& factoryBank() {
  static const BankImage image{kFactoryBankFile, kFactoryBankFileSize};
  return image;
}

void registerFactoryBank() { setBuiltInBank(&factoryBank()); }
