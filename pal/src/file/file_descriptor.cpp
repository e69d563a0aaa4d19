#include "pal/file_descriptor.h"

#include "file/file_descriptor.h"

extern "C" __attribute__((visibility("default"))) int PalFileDescriptor(HANDLE hFile) {
    auto file = pal::LookupHandleAs<pal::DescriptorObject>(hFile);
    return file ? file->Descriptor() : -1;
}
