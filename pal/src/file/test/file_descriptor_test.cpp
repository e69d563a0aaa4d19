#include "pal/file_descriptor.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "file/file_descriptor.h"
#include "test_root.h"
#include "windows.h"

namespace {

class TestFile : public pal::DescriptorObject {
public:
    explicit TestFile(int fd) : fd_(fd) {}
    ~TestFile() override { close(fd_); }
    int Descriptor() const override { return fd_; }

private:
    int fd_;
};

class NotAFile : public pal::Object {};

TEST(PalFileDescriptor, GivesTheDescriptorOfAFileHandleOnly) {
    int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    HANDLE file = pal::AddHandle(std::make_shared<TestFile>(fd));
    EXPECT_EQ(PalFileDescriptor(file), fd);
    ASSERT_TRUE(CloseHandle(file));

    HANDLE other = pal::AddHandle(std::make_shared<NotAFile>());
    const HANDLE refused[] = {file, other, nullptr, INVALID_HANDLE_VALUE};
    for (HANDLE h : refused) {
        SetLastError(0);
        EXPECT_EQ(PalFileDescriptor(h), -1) << h;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << h;
    }
    CloseHandle(other);
}

// Libraries loaded at run time find it in the program.
TEST(PalFileDescriptor, GivesTheDescriptorOfACreatedFile) {
    brtest::ScopedTestRoot root;
    std::string path = root.Path() + "/out.bin";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    int fd = PalFileDescriptor(file);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "abc", 3), 3);
    ASSERT_TRUE(CloseHandle(file));
    EXPECT_EQ(brtest::ReadFile(path), "abc");
}

TEST(PalFileDescriptor, IsExportedByTheProgram) {
    void* found = dlsym(RTLD_DEFAULT, "PalFileDescriptor");
    EXPECT_EQ(found, reinterpret_cast<void*>(&PalFileDescriptor));
}

}  // namespace
