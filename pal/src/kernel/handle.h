// The layer's handle table. Every kernel object (event, thread, process, mutex, find, snapshot,
// file, module) is a pal::Object; a HANDLE names one table entry holding a shared reference, so
// two handles to one object are closed separately and an object lives while a handle or the
// layer itself (a running thread, say) still refers to it.
#pragma once

#include <memory>

#include "windows.h"

namespace pal {

class Object {
public:
    virtual ~Object() = default;
    // WaitForSingleObject on this object. Objects that cannot be waited on fail.
    virtual DWORD Wait(DWORD milliseconds);
};

// Adds an entry for the object and returns its new handle (never NULL nor INVALID_HANDLE_VALUE).
HANDLE AddHandle(std::shared_ptr<Object> object);
// The object behind a handle, or null (with ERROR_INVALID_HANDLE set) for an unknown handle.
std::shared_ptr<Object> LookupHandle(HANDLE handle);
// Removes the entry; false for an unknown handle.
bool RemoveHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    auto object = std::dynamic_pointer_cast<T>(LookupHandle(handle));
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

}  // namespace pal
