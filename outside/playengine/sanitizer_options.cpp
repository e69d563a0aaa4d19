// For the sanitizer builds of the programs that run GStreamer in their own process: the engine's
// tests and benchmark and the build's demo-track tool. Only what happens inside Debian's
// uninstrumented libraries is let through; every access, lock and allocation of the project's
// own code is still checked. Not part of the engine: the service gets the same option from the
// tests that start it (`brtest::ScopedTestRoot`).

// ThreadSanitizer: GLib and GStreamer hand their data between threads with their own futex
// locks, which the sanitizer cannot see, so the allocations and copies that their code makes
// through the C library look like races. Calls made from uninstrumented libraries are not
// checked.
extern "C" const char* __tsan_default_options() {
    return "ignore_noninstrumented_modules=1";
}

// LeakSanitizer: GLib keeps its table of interned strings in blocks that it never frees, by
// design, and drops the old block when the table grows; the stacks of such blocks end in GLib
// (its code has no frame pointers), so the suppression names the library.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libglib-2.0.so\n";
}
