// The journal of a booking command: the former bytes of every field the
// command changed, put back on revert.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

namespace kolvane {

// The former bytes of every field a command changes, put back in reverse
// order: a field saved twice ends with its first value.
class Journal {
  public:
    template <class T> void save(T& field) {
        static_assert(std::is_trivially_copyable_v<T>);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&field);
        entries_.push_back(Entry{&field, sizeof(T), bytes_.size()});
        bytes_.insert(bytes_.end(), bytes, bytes + sizeof(T));
    }
    void restore() {
        for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
            std::memcpy(entry->address, bytes_.data() + entry->offset, entry->size);
        entries_.clear();
        bytes_.clear();
    }
    // Room for what one apply saves, taken before anything changes so that
    // running out of memory never leaves a change half made.
    void reserve(std::size_t entries, std::size_t bytes) {
        entries_.reserve(entries);
        bytes_.reserve(bytes);
    }
    std::size_t memoryBytes() const {
        return entries_.capacity() * sizeof(Entry) + bytes_.capacity();
    }

  private:
    struct Entry {
        void* address;
        std::size_t size;
        std::size_t offset;
    };
    std::vector<Entry> entries_;
    std::vector<unsigned char> bytes_;
};

} // namespace kolvane
