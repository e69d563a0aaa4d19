// The process's table of GDI objects: every bitmap, brush, font, region, icon and device context
// is a GdiObject behind a handle value of its own range.
#pragma once

#include <memory>

#include "windows.h"

namespace pal::draw {

enum class GdiKind { kBitmap, kBrush, kFont, kRegion, kIcon, kDc };

struct GdiObject {
    explicit GdiObject(GdiKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    const GdiKind kind;
    bool stock = false;  // stock objects are never deleted
};

// Adds the object and returns its new handle value.
void* AddGdiObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> FindGdiObject(const void* handle);
// Takes the object out of the table; false when the handle is unknown.
bool RemoveGdiObject(const void* handle);

// The object of the handle when it is of type T's kind; null otherwise.
template <typename T>
std::shared_ptr<T> FindGdi(const void* handle) {
    auto object = FindGdiObject(handle);
    if (!object || object->kind != T::kKind) {
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

}  // namespace pal::draw
