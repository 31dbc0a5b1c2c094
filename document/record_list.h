// The doubly linked list that holds every collection of records. Each node
// carries a copy of one record; the pointer handed back points at the record
// inside its node and stays valid until that node is removed or the list is
// cleared. The record comes first in the node, so a record pointer is also
// the node handle. Nodes come from one slab pool per record type, shared by
// every list of that type (the ventilation lines of all split operations
// too), and so do the list objects made with `new`.
#pragma once

#include "slab_pool.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace kolvane {

template <class Record> class RecordList {
    static_assert(std::is_trivially_copyable_v<Record>, "records are copied byte for byte");

    struct Node {
        Record record;
        Node* prev;
        Node* next;
    };
    static_assert(std::is_standard_layout_v<Node>);

  public:
    RecordList() = default;
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;
    ~RecordList() { clear(); }

    // Lists made with `new` (the lines of a split operation) share a pool too.
    static void* operator new(std::size_t size) {
        if (void* memory = operator new(size, std::nothrow))
            return memory;
        throw std::bad_alloc();
    }
    static void* operator new(std::size_t, const std::nothrow_t&) noexcept {
        return listPool().allocate();
    }
    static void operator delete(void* memory) noexcept { listPool().release(memory); }

    // The pool of this record type's nodes. Constant-initialised and never
    // destroyed, so that a document destroyed late at exit still finds it.
    static SlabPool& nodePool() {
        static constinit SlabPool pool{sizeof(Node), alignof(Node)};
        return pool;
    }

    // The pool of the list objects made with `new`.
    static SlabPool& listPool() {
        static constinit SlabPool pool{sizeof(RecordList), alignof(RecordList)};
        return pool;
    }

    void clear() {
        clear([](Record&) {});
    }

    // Empties the list, handing each record to `release` just before its node
    // goes: one walk instead of two for records that own something.
    template <class Release> void clear(Release release) {
        Node* node = head_;
        while (node) {
            Node* following = node->next;
            release(node->record);
            nodePool().release(node);
            node = following;
        }
        head_ = tail_ = nullptr;
        count_ = 0;
    }

    Record* first() const { return head_ ? &head_->record : nullptr; }
    Record* last() const { return tail_ ? &tail_->record : nullptr; }
    int count() const { return count_; }
    bool empty() const { return head_ == nullptr; }

    // The record after `record`; the first one when `record` is null.
    Record* next(const Record* record) const {
        if (!record)
            return first();
        Node* following = nodeOf(record)->next;
        return following ? &following->record : nullptr;
    }

    Record* previous(const Record* record) const {
        if (!record)
            return nullptr;
        Node* before = nodeOf(record)->prev;
        return before ? &before->record : nullptr;
    }

    // Copies `source` (or zeroes the record when it is null) into a new node at
    // the end. Returns null, leaving the list unchanged, when memory runs out.
    Record* append(const Record* source) {
        Node* node = makeNode(source);
        if (!node)
            return nullptr;
        node->prev = tail_;
        if (tail_)
            tail_->next = node;
        else
            head_ = node;
        tail_ = node;
        ++count_;
        return &node->record;
    }
    Record* append(const Record& source) { return append(&source); }
    Record* appendEmpty() { return append(nullptr); }

    Record* pushFront(const Record* source) {
        Node* node = makeNode(source);
        if (!node)
            return nullptr;
        node->next = head_;
        if (head_)
            head_->prev = node;
        else
            tail_ = node;
        head_ = node;
        ++count_;
        return &node->record;
    }

    // Links a copy of `source` right after `record`, or at the front when
    // `record` is null.
    Record* insertAfter(Record* record, const Record* source) {
        if (!record)
            return pushFront(source);
        Node* before = nodeOf(record);
        Node* node = makeNode(source);
        if (!node)
            return nullptr;
        node->prev = before;
        node->next = before->next;
        if (before->next)
            before->next->prev = node;
        else
            tail_ = node;
        before->next = node;
        ++count_;
        return &node->record;
    }

    void remove(Record* record) {
        if (!record)
            return;
        Node* node = nodeOf(record);
        if (node->prev)
            node->prev->next = node->next;
        else
            head_ = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            tail_ = node->prev;
        nodePool().release(node);
        if (count_ > 0)
            --count_;
    }

    // Takes `record` out of the list without releasing it: the pointer stays
    // valid and can be linked back with `linkAfter` (undo keeps removed
    // records so, and every pointer to them stays good) or released with
    // `dispose`. An unlinked record must be linked back or disposed of before
    // its list is cleared or destroyed.
    void unlink(Record* record) {
        if (!record)
            return;
        Node* node = nodeOf(record);
        if (node->prev)
            node->prev->next = node->next;
        else
            head_ = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            tail_ = node->prev;
        node->prev = node->next = nullptr;
        if (count_ > 0)
            --count_;
    }

    // Links an unlinked `record` back right after `previous`, or at the front
    // when `previous` is null.
    void linkAfter(Record* previous, Record* record) {
        Node* node = nodeOf(record);
        node->prev = previous ? nodeOf(previous) : nullptr;
        node->next = previous ? node->prev->next : head_;
        if (node->next)
            node->next->prev = node;
        else
            tail_ = node;
        if (node->prev)
            node->prev->next = node;
        else
            head_ = node;
        ++count_;
    }

    // Releases a record taken out by `unlink`: its node goes back to the pool.
    void dispose(Record* record) {
        if (record)
            nodePool().release(nodeOf(record));
    }

    // Range-for support: `for (Record& r : list)`.
    class iterator {
      public:
        explicit iterator(Node* node) : node_(node) {}
        Record& operator*() const { return node_->record; }
        Record* operator->() const { return &node_->record; }
        iterator& operator++() {
            node_ = node_->next;
            return *this;
        }
        bool operator!=(const iterator& other) const { return node_ != other.node_; }
        bool operator==(const iterator& other) const { return node_ == other.node_; }

      private:
        Node* node_;
    };
    iterator begin() const { return iterator(head_); }
    iterator end() const { return iterator(nullptr); }

  private:
    static Node* nodeOf(const Record* record) {
        return reinterpret_cast<Node*>(const_cast<Record*>(record));
    }

    static Node* makeNode(const Record* source) {
        Node* node = static_cast<Node*>(nodePool().allocate());
        if (!node)
            return nullptr;
        if (source)
            std::memcpy(&node->record, source, sizeof(Record));
        else
            std::memset(&node->record, 0, sizeof(Record));
        node->prev = node->next = nullptr;
        return node;
    }

    static_assert(alignof(Node) <= 64 && std::is_trivially_destructible_v<Node>);

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    int count_ = 0;
};

} // namespace kolvane
