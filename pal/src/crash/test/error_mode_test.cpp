#include <gtest/gtest.h>

#include "windows.h"

// The mode becomes exactly the value given, and each call reports the one before.
TEST(SetErrorMode, ReplacesTheWholeModeAndReturnsThePrevious) {
    const UINT modes[] = {SEM_FAILCRITICALERRORS, SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX,
                          SEM_FAILCRITICALERRORS, 0,
                          SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX |
                              SEM_NOALIGNMENTFAULTEXCEPT | SEM_NOOPENFILEERRORBOX};
    SetErrorMode(0);
    UINT previous = 0;
    for (UINT mode : modes) {
        EXPECT_EQ(SetErrorMode(mode), previous);
        previous = mode;
    }
    EXPECT_EQ(SetErrorMode(0), previous);
}
