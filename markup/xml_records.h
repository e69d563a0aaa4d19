// Storage of the element table: room for the first records inside the document object (so that
// the table of a typical call request or reply needs no allocation), more on the heap. The table
// grows to exactly the size asked for and never shrinks; every record it gains is cleared.
#pragma once

#include <algorithm>
#include <memory>
#include <new>
#include <type_traits>

template <class Record, int kInline>
class RecordTable {
    static_assert(std::is_trivially_copyable_v<Record> && std::is_trivially_destructible_v<Record>);

public:
    RecordTable() = default;
    RecordTable(const RecordTable&) = delete;
    RecordTable& operator=(const RecordTable&) = delete;

    int size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Record& operator[](int i) { return data_[i]; }
    const Record& operator[](int i) const { return data_[i]; }

    void Grow(int count) {
        if (count <= size_) {
            return;
        }
        if (count <= kInline) {
            for (int i = size_; i < count; ++i) {
                new (&data_[i]) Record();
            }
        } else {
            std::unique_ptr<Record[]> grown(new Record[count]());
            std::copy(data_, data_ + size_, grown.get());
            heap_ = std::move(grown);
            data_ = heap_.get();
        }
        size_ = count;
    }

private:
    alignas(Record) unsigned char inline_[kInline * sizeof(Record)];
    std::unique_ptr<Record[]> heap_;
    Record* data_ = reinterpret_cast<Record*>(inline_);
    int size_ = 0;
};
