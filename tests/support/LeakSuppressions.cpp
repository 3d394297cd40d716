// Leaks the sanitizer build must not report, read by LeakSanitizer in every test
// program. fontconfig (2.14) drops a block it allocated while parsing the system's
// font configuration, once per process; it is not the project's to free. The
// library is built without frame pointers, so the fast unwinder sees only the
// allocating module, and the suppression has to name the module.
// The name is the sanitizer runtime's own hook.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
