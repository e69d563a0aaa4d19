#include "pal/file_descriptor.h"

#include "file/file_descriptor.h"

// Differs from Windows: not Win32; it hands outside libraries the descriptor behind a file handle.
extern "C" __attribute__((visibility("default"))) int PalFileDescriptor(HANDLE hFile) {
    auto file = pal::LookupHandleAs<pal::DescriptorObject>(hFile);
    return file ? file->Descriptor() : -1;
}
