#include "draw/gdi_object.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace pal::draw {
namespace {

// GDI handles start far above kernel handles (which count up from 0x100) and are multiples of 4.
constexpr uintptr_t kFirstHandle = 0x40000000;

struct Table {
    std::mutex lock;
    uintptr_t next = kFirstHandle;
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: objects may be released at exit
    return *table;
}

}  // namespace

void* AddGdiObject(std::shared_ptr<GdiObject> object) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    const uintptr_t handle = table.next;
    table.next += 4;
    table.objects.emplace(handle, std::move(object));
    return reinterpret_cast<void*>(handle);
}

std::shared_ptr<GdiObject> FindGdiObject(const void* handle) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

bool RemoveGdiObject(const void* handle) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    return table.objects.erase(reinterpret_cast<uintptr_t>(handle)) == 1;
}

}  // namespace pal::draw
