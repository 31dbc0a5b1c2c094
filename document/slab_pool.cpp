#include "slab_pool.h"

#include <atomic>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kolvane {

struct SlabPool::Block {
    Block* previousOpen;
    Block* nextOpen;
    void* freeSlots;       // slots given back, linked through their first word
    std::size_t used;      // slots handed out and not given back
    std::size_t neverUsed; // slots from this index on were never handed out
    bool isOpen;           // linked in the pool's list of blocks with room
    // For a reserved block: kUntouched, then kBringingIn while the helper
    // thread brings its pages in, then kReady. Read and written atomically.
    std::uint8_t readiness;
};

namespace {

constexpr std::align_val_t kBlockAlignment{SlabPool::kBlockBytes};
constexpr std::uint8_t kUntouched = 0;
constexpr std::uint8_t kBringingIn = 1;
constexpr std::uint8_t kReady = 2;

using Flag = std::atomic_ref<std::uint8_t>;

void* newBlock(bool large) {
    void* block = ::operator new(SlabPool::kBlockBytes, kBlockAlignment, std::nothrow);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // A hint only: where large pages are not to be had, nothing changes.
    if (block && large)
        ::madvise(block, SlabPool::kBlockBytes, MADV_HUGEPAGE);
#else
    static_cast<void>(large);
#endif
    return block;
}

void deleteBlock(void* block) {
    ::operator delete(block, kBlockAlignment);
}

#if defined(__linux__)
// Has the system fault in every page of a block now, without changing a byte.
void faultIn(void* block) {
#if defined(MADV_POPULATE_WRITE)
    ::madvise(block, SlabPool::kBlockBytes, MADV_POPULATE_WRITE);
#else
    static_cast<void>(block);
#endif
}
#else
// Touches every page of a block that nobody uses yet: the last byte of each
// page, away from the block's header.
void faultIn(void* block) {
    constexpr std::size_t kPage = 4096;
    auto* bytes = static_cast<volatile std::uint8_t*>(block);
    for (std::size_t at = kPage - 1; at < SlabPool::kBlockBytes; at += kPage)
        bytes[at] = 0;
}
#endif

} // namespace

void SlabPool::linkOpen(Block* block) noexcept {
    block->previousOpen = nullptr;
    block->nextOpen = open_;
    if (open_)
        open_->previousOpen = block;
    open_ = block;
    block->isOpen = true;
}

void SlabPool::unlinkOpen(Block* block) noexcept {
    if (!block->isOpen)
        return;
    if (block->previousOpen)
        block->previousOpen->nextOpen = block->nextOpen;
    else
        open_ = block->nextOpen;
    if (block->nextOpen)
        block->nextOpen->previousOpen = block->previousOpen;
    block->isOpen = false;
}

void* SlabPool::allocate() noexcept {
    static_assert(sizeof(Block) <= kHeaderBytes);
    Block* block = open_;
    if (!block) {
        if (reserved_) {
            block = takeReserved();
        } else if (spare_) {
            block = spare_;
            spare_ = nullptr;
        } else {
            // A pool with few records keeps small pages: a large page would
            // make each of them take its whole block of memory.
            void* memory = newBlock(blockCount_ != 0 || expected_ >= slotsPerBlock_);
            if (!memory)
                return nullptr;
            block = static_cast<Block*>(memory);
            ++blockCount_;
        }
        block->freeSlots = nullptr;
        block->used = 0;
        block->neverUsed = 0;
        linkOpen(block);
    }
    void* slot;
    if (block->freeSlots) {
        slot = block->freeSlots;
        block->freeSlots = *static_cast<void**>(slot);
    } else {
        slot = reinterpret_cast<std::uint8_t*>(block) + kHeaderBytes + block->neverUsed * slotSize_;
        ++block->neverUsed;
    }
    if (++block->used == slotsPerBlock_)
        unlinkOpen(block);
    return slot;
}

void SlabPool::release(void* slot) noexcept {
    if (!slot)
        return;
    Block* block = blockOf(slot);
    *static_cast<void**>(slot) = block->freeSlots;
    block->freeSlots = slot;
    if (!block->isOpen)
        linkOpen(block);
    if (--block->used != 0)
        return;
    unlinkOpen(block);
    if (!spare_) {
        spare_ = block;
        return;
    }
    deleteBlock(block);
    --blockCount_;
}

// --- blocks made ahead of use ---------------------------------------------------

SlabPool::Block* SlabPool::takeReserved() noexcept {
    Block* block = reserved_;
    reserved_ = block->nextOpen;
    std::uint8_t state = kUntouched;
    if (!Flag(block->readiness).compare_exchange_strong(state, kReady)) {
        // The helper is on this very block: it is nearly done.
        while (Flag(block->readiness).load(std::memory_order_acquire) != kReady)
            std::this_thread::yield();
    }
    return block;
}

SlabPool::Block* SlabPool::reserve(std::size_t certain, std::size_t possible) noexcept {
    expected_ = possible;
    if (reserved_)
        return nullptr;
    Block* last = nullptr;
    for (std::size_t blocks = certain / slotsPerBlock_; blocks > 0; --blocks) {
        auto* block = static_cast<Block*>(newBlock(true));
        if (!block)
            break;
        ++blockCount_;
        block->readiness = kUntouched;
        block->nextOpen = nullptr;
        block->previousOpen = last;
        if (last)
            last->nextOpen = block;
        else
            reserved_ = block;
        last = block;
    }
    return last;
}

void SlabPool::dropReserve() noexcept {
    expected_ = 0;
    while (reserved_) {
        Block* block = reserved_;
        reserved_ = block->nextOpen;
        deleteBlock(block);
        --blockCount_;
    }
}

// The helper thread: from the last reserved block back, until it meets a
// block already taken. A block's links are read while the helper holds it,
// so the pool never rewrites them under its feet.
void SlabPool::bringIn(Block* last, const bool& stop) noexcept {
    for (Block* block = last; block && !std::atomic_ref<const bool>(stop).load();) {
        std::uint8_t state = kUntouched;
        if (!Flag(block->readiness).compare_exchange_strong(state, kBringingIn))
            return;
        Block* before = block->previousOpen;
        faultIn(block);
        Flag(block->readiness).store(kReady, std::memory_order_release);
        block = before;
    }
}

SlabReserve::SlabReserve(SlabPool& pool, std::size_t certain, std::size_t possible) noexcept
    : pool_(pool) {
    SlabPool::Block* last = pool_.reserve(certain, possible);
    if (!last)
        return;
    try {
        helper_ = std::thread(SlabPool::bringIn, last, std::cref(stop_));
    } catch (...) {
        // Without a thread the pages come in as they are used.
    }
}

SlabReserve::~SlabReserve() {
    if (helper_.joinable()) {
        std::atomic_ref<bool>(stop_).store(true);
        helper_.join();
    }
    pool_.dropReserve();
}

} // namespace kolvane
