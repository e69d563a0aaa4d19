// For the sanitizer builds of the layer's test programs, which draw text through pango.
// LeakSanitizer: fontconfig keeps the patterns, character sets and language sets of its font
// cache for the life of the process by design; its code has no frame pointers, so the
// suppression names the library. Every allocation of the project's own code is still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
