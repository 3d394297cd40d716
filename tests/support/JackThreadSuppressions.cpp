// Reports ThreadSanitizer must not make in programs that use JACK, read by it at start.
// libjack keeps port metadata in Berkeley DB, which takes its own two locks in one order
// when a property is set and in the other when properties are removed (both on one
// thread here, so nothing can wait on anything); the library is not the project's.
// The name is the sanitizer runtime's own hook.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" __attribute__((visibility("default"), used)) const char* __tsan_default_suppressions() {
  return "deadlock:libdb-5.3.so\n";
}
