#pragma once

// Marks a plug-in entry point for export: the library's only exported names. On
// Windows that is dllexport (nothing else leaves the DLL); elsewhere default
// visibility, with a version script keeping everything else local.
#ifdef _WIN32
#define ZORQ_EXPORT extern "C" __declspec(dllexport)
#else
#define ZORQ_EXPORT extern "C" __attribute__((visibility("default")))
#endif
