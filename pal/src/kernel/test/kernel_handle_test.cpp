#include <gtest/gtest.h>

#include <thread>

#include "windows.h"

TEST(LastError, IsPerThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD other = 0;
    HANDLE none = nullptr;
    (void)none;
    std::thread([&] {
        SetLastError(ERROR_FILE_NOT_FOUND);
        other = GetLastError();
    }).join();
    EXPECT_EQ(other, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(CloseHandle, UnknownHandlesFail) {
    const HANDLE cases[] = {nullptr, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x12345)};
    for (HANDLE h : cases) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

TEST(WaitForSingleObject, UnknownHandleFails) {
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(0x12345), 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}
