// The open file handles of this process, by file identity, so that a new open can be checked
// against their share modes as Windows checks them.
#pragma once

#include <sys/types.h>

#include <list>

#include "windows.h"

namespace pal::fs {

struct OpenFile {
    dev_t device;
    ino_t inode;
    bool read;
    bool write;
    DWORD share;  // FILE_SHARE_*
};

using ShareEntry = std::list<OpenFile>::iterator;

// Registers an open and returns true, or returns false when an open handle's share mode does not
// allow it or it does not allow what an open handle does.
bool AddShare(const OpenFile& file, ShareEntry* entry);
void RemoveShare(ShareEntry entry);

}  // namespace pal::fs
