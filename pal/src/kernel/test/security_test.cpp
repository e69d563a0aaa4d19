#include <gtest/gtest.h>

#include <cstring>

#include "windows.h"

namespace {

TEST(InitializeSecurityDescriptor, AcceptsOnlyRevisionOne) {
    SECURITY_DESCRIPTOR descriptor;
    std::memset(&descriptor, 0xAB, sizeof(descriptor));
    EXPECT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    EXPECT_EQ(descriptor.Revision, 1);
    EXPECT_EQ(descriptor.Control, 0);
    EXPECT_EQ(descriptor.Dacl, nullptr);
    for (DWORD revision : {0u, 2u}) {
        SetLastError(0);
        EXPECT_FALSE(InitializeSecurityDescriptor(&descriptor, revision));
        EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_REVISION);
    }
    SetLastError(0);
    EXPECT_FALSE(InitializeSecurityDescriptor(nullptr, SECURITY_DESCRIPTOR_REVISION));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(SetSecurityDescriptorDacl, RecordsTheDacl) {
    ACL acl{};
    const struct {
        BOOL present;
        PACL dacl;
        BOOL defaulted;
        WORD control;
        PACL kept;
    } cases[] = {
        {TRUE, nullptr, FALSE, SE_DACL_PRESENT, nullptr},  // the client's NULL DACL
        {TRUE, &acl, TRUE, SE_DACL_PRESENT | SE_DACL_DEFAULTED, &acl},
        {FALSE, &acl, TRUE, 0, nullptr},
    };
    for (const auto& c : cases) {
        SECURITY_DESCRIPTOR descriptor;
        ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
        EXPECT_TRUE(SetSecurityDescriptorDacl(&descriptor, c.present, c.dacl, c.defaulted));
        EXPECT_EQ(descriptor.Control, c.control);
        EXPECT_EQ(descriptor.Dacl, c.kept);
    }
}

TEST(SetSecurityDescriptorDacl, NeedsAnInitialisedDescriptor) {
    SECURITY_DESCRIPTOR descriptor;
    std::memset(&descriptor, 0, sizeof(descriptor));
    SetLastError(0);
    EXPECT_FALSE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_REVISION);
    SetLastError(0);
    EXPECT_FALSE(SetSecurityDescriptorDacl(nullptr, TRUE, nullptr, FALSE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
