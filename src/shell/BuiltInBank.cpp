#include "shell/BuiltInBank.h"

#include <atomic>

namespace {
std::atomic<const BankImage*> registered{nullptr};
}

void setBuiltInBank(const BankImage* image) { registered.store(image, std::memory_order_release); }

const BankImage* builtInBank() { return registered.load(std::memory_order_acquire); }
