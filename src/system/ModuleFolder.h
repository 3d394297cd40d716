#pragma once

// The folder of the executable or library that holds the given code address, with a
// trailing separator ('/' on POSIX, '\' on Windows); empty when unknown. Any thread.
#include <string>

std::string moduleFolderOf(const void* codeAddress);
