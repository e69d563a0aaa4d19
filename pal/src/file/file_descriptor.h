// Kernel objects that wrap an open POSIX descriptor: the layer's file objects derive from this
// class, so that PalFileDescriptor can hand their descriptor to outside libraries.
#pragma once

#include "kernel/handle.h"

namespace pal {

class DescriptorObject : public Object {
public:
    // The open descriptor; it stays owned by the object and is valid while the handle is.
    virtual int Descriptor() const = 0;
};

}  // namespace pal
