// The sanitizer options of the layer's test programs (see pal/CMakeLists.txt) and of the
// build's drawing tool (client/skin).
extern "C" const char* __tsan_default_options() {
    return "ignore_noninstrumented_modules=1";
}
