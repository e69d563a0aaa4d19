#include "file/file_share.h"

#include <mutex>

namespace pal::fs {
namespace {

struct ShareTable {
    std::mutex lock;
    std::list<OpenFile> files;
};

ShareTable& Table() {
    static ShareTable* table = new ShareTable;  // file objects may outlive static destruction
    return *table;
}

bool Conflicts(const OpenFile& a, const OpenFile& b) {
    return (a.read && !(b.share & FILE_SHARE_READ)) || (a.write && !(b.share & FILE_SHARE_WRITE)) ||
           (b.read && !(a.share & FILE_SHARE_READ)) || (b.write && !(a.share & FILE_SHARE_WRITE));
}

}  // namespace

bool AddShare(const OpenFile& file, ShareEntry* entry) {
    ShareTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const OpenFile& other : table.files) {
        if (other.device == file.device && other.inode == file.inode && Conflicts(file, other)) {
            return false;
        }
    }
    *entry = table.files.insert(table.files.end(), file);
    return true;
}

void RemoveShare(ShareEntry entry) {
    ShareTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.files.erase(entry);
}

}  // namespace pal::fs
