#include "kernel/handle.h"

#include <mutex>
#include <unordered_map>

namespace pal {
namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<Object>> entries;
    uintptr_t next = 0x100;  // multiples of 4 like Windows, never reused within a process
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // outlives every static destructor
    return *table;
}

}  // namespace

DWORD Object::Wait(DWORD) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
}

HANDLE AddHandle(std::shared_ptr<Object> object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    uintptr_t value = table.next;
    table.next += 4;
    table.entries.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<Object> LookupHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.entries.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.entries.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

bool RemoveHandle(HANDLE handle) {
    std::shared_ptr<Object> object;  // released outside the lock: a destructor may take handles
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.entries.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.entries.end()) {
        return false;
    }
    object = std::move(it->second);
    table.entries.erase(it);
    return true;
}

}  // namespace pal
