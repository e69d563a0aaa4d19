// A library registered as a component that exports no class factory.
extern "C" int PalNoFactoryValue() {
    return 7;
}
