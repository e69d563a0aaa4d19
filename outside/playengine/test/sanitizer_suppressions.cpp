// For the sanitizer builds of the programs that run GStreamer (the engine's tests and its
// benchmark). Only what happens inside Debian's uninstrumented libraries is let through; every
// access and allocation of the project's own code is still checked.
//
// LeakSanitizer: GLib keeps its table of interned strings in blocks that it never frees, by
// design, and drops the old block when the table grows; the stacks of such blocks end in GLib
// (its code has no frame pointers), so the suppression names the library.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libglib-2.0.so\n";
}
