// A change to the document kept so that undo and redo can take it back and
// bring it back exactly. (A change that computes its new values again each
// time it is applied needs only its former bytes: see booking_journal.h.)
//
// `EditLog` makes the change itself and keeps both sides: each field's bytes
// before and after, each record taken out of or put into a list. `undo`
// walks it backwards, `redo` forwards, without computing anything again, so
// records keep their addresses across undo and redo and a pointer held by a
// later step stays good. Records taken out are unlinked, not released; the
// log releases them when it is destroyed while its change stands (and the
// records it put in, when destroyed undone).
#pragma once

#include "document.h"

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

namespace kolvane {

// What a record owns besides its node, released with it.
inline void releaseOwned(OperationRecord& operation) {
    releaseLines(operation);
}
template <class Record> void releaseOwned(Record&) {}

class EditLog {
  public:
    EditLog() = default;
    EditLog(const EditLog&) = delete;
    EditLog& operator=(const EditLog&) = delete;
    ~EditLog();

    // Writes `value` into `field`.
    template <class T> void change(T& field, const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        const std::size_t offset = bytes_.size();
        const auto* before = reinterpret_cast<const unsigned char*>(&field);
        const auto* after = reinterpret_cast<const unsigned char*>(&value);
        bytes_.insert(bytes_.end(), before, before + sizeof(T));
        bytes_.insert(bytes_.end(), after, after + sizeof(T));
        entries_.push_back(Entry{Kind::Field, &field, nullptr, nullptr, offset, sizeof(T), nullptr});
        std::memcpy(&field, bytes_.data() + offset + sizeof(T), sizeof(T));
    }

    // Takes `record` out of `list`.
    template <class Record> void unlink(RecordList<Record>& list, Record* record) {
        entries_.push_back(Entry{Kind::Unlink, &list, record, list.previous(record), 0, 0,
                                 &listActions<Record>});
        recordBytes_ += listActions<Record>.recordBytes;
        list.unlink(record);
    }

    // Links a copy of `source` after `previous` (at the front when null).
    // Returns the new record, or null when memory runs out (nothing logged).
    template <class Record>
    Record* insertAfter(RecordList<Record>& list, Record* previous, const Record& source) {
        entries_.reserve(entries_.size() + 1);
        Record* record = list.insertAfter(previous, &source);
        if (record)
            linked(list, previous, record);
        return record;
    }

    // A record made elsewhere and already linked after `previous`: the log
    // takes it out on undo and owns it while undone.
    template <class Record>
    void linked(RecordList<Record>& list, Record* previous, Record* record) {
        entries_.push_back(
            Entry{Kind::Link, &list, record, previous, 0, 0, &listActions<Record>});
        recordBytes_ += listActions<Record>.recordBytes;
    }

    void undo();
    void redo();
    bool empty() const { return entries_.empty(); }
    std::size_t memoryBytes() const {
        return entries_.capacity() * sizeof(Entry) + bytes_.capacity() + recordBytes_;
    }

  private:
    enum class Kind : unsigned char { Field, Unlink, Link };
    struct ListActions {
        void (*link)(void* list, void* previous, void* record);
        void (*unlink)(void* list, void* record);
        void (*release)(void* list, void* record);
        std::size_t recordBytes;
    };
    template <class Record> static constexpr ListActions listActions{
        [](void* list, void* previous, void* record) {
            static_cast<RecordList<Record>*>(list)->linkAfter(static_cast<Record*>(previous),
                                                              static_cast<Record*>(record));
        },
        [](void* list, void* record) {
            static_cast<RecordList<Record>*>(list)->unlink(static_cast<Record*>(record));
        },
        [](void* list, void* record) {
            releaseOwned(*static_cast<Record*>(record));
            static_cast<RecordList<Record>*>(list)->dispose(static_cast<Record*>(record));
        },
        sizeof(Record) + 2 * sizeof(void*)};

    struct Entry {
        Kind kind;
        void* address; // the field, or the list
        void* record;
        void* previous;
        std::size_t offset; // of the field's former bytes, its new ones following
        std::size_t size;
        const ListActions* actions;
    };
    std::vector<Entry> entries_;
    std::vector<unsigned char> bytes_;
    std::size_t recordBytes_ = 0; // the records the log holds
    bool undone_ = false;
};

} // namespace kolvane
