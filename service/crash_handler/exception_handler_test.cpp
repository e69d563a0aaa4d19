// The handler's life in this process: what its construction installs and what its destruction
// puts back. (Its faults are in crash_test.cpp, in processes of their own.)
#include <gtest/gtest.h>

#include "exception_handler.h"

namespace {

LONG WINAPI EarlierFilter(EXCEPTION_POINTERS*) {
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI Probe(EXCEPTION_POINTERS*) {
    return EXCEPTION_CONTINUE_SEARCH;
}

// The installed filter, left installed.
LPTOP_LEVEL_EXCEPTION_FILTER CurrentFilter() {
    LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(Probe);
    SetUnhandledExceptionFilter(current);
    return current;
}

class ExceptionHandlerLife : public testing::TestWithParam<LPTOP_LEVEL_EXCEPTION_FILTER> {
protected:
    void SetUp() override { SetUnhandledExceptionFilter(GetParam()); }
    void TearDown() override {
        SetUnhandledExceptionFilter(nullptr);
        SetErrorMode(0);
    }
};

TEST_P(ExceptionHandlerLife, InstallsTheFilterAndPutsThePreviousOneBack) {
    ASSERT_EQ(GetModuleHandleA("DBGHELP.DLL"), nullptr) << "nothing else loads the library";
    SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    {
        CExceptionHandler handler;
        EXPECT_EQ(CurrentFilter(), &CExceptionHandler::Filter);
        EXPECT_EQ(SetErrorMode(SEM_FAILCRITICALERRORS), SEM_FAILCRITICALERRORS)
            << "the error mode is exactly SEM_FAILCRITICALERRORS";
        EXPECT_NE(GetModuleHandleA("DBGHELP.DLL"), nullptr) << "the whole library is held";
    }
    EXPECT_EQ(CurrentFilter(), GetParam());
    EXPECT_EQ(GetModuleHandleA("DBGHELP.DLL"), nullptr) << "the library is freed";
}

INSTANTIATE_TEST_SUITE_P(Previous, ExceptionHandlerLife, testing::Values(nullptr, EarlierFilter),
                         [](const testing::TestParamInfo<LPTOP_LEVEL_EXCEPTION_FILTER>& info) {
                             return std::string(info.param == nullptr ? "None" : "Earlier");
                         });

}  // namespace
