// Default options of the sanitizer runtimes, compiled into every program of a QUILLMARSH_SANITIZE
// build, so the game, the tests and the tools behave the same however they are started. Settings in
// ASAN_OPTIONS and UBSAN_OPTIONS still apply on top.

// Leak reports are off: the GL driver keeps allocations of its own until the process ends. Every
// other report ends the program with an error.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1"; }
