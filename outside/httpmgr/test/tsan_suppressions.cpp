// For the ThreadSanitizer build of the tests that serve with cpp-httplib: Debian's library is
// not instrumented, so the sanitizer sees its memory accesses through the C library's
// interceptors without the ordering the library's own code gives them, and reports races
// inside it (its regular-expression matching between two server threads). Reports from calls
// made by that library are suppressed; everything of the project's code is still checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libcpp-httplib.so\n";
}
