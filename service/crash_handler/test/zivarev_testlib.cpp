// A library loaded under the name "ZIVAREV"; the crash handler then keeps its dumps in this
// library's folder.
extern "C" int ZivarevLoaded() {
    return 1;
}
