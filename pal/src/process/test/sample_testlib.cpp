// A tiny library that the module tests load as "PalSample.dll".
extern "C" int PalSampleValue() {
    return 42;
}
