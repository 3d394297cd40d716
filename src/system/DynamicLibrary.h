#pragma once

// Loading a shared library by UTF-8 path and finding its symbols (dlopen on POSIX,
// LoadLibraryW on Windows). Any thread.
#include <string>

// Null when the library cannot be loaded.
void* openLibrary(const char* path);
void* librarySymbol(void* library, const char* name);
void closeLibrary(void* library);
// Why the last openLibrary failed, in the loader's words.
std::string libraryError();
