#include "slab_pool.h"

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
};

namespace {

constexpr std::align_val_t kBlockAlignment{SlabPool::kBlockBytes};

// A hint only: where large pages are not to be had, nothing changes.
void offerLargePages([[maybe_unused]] void* block) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    ::madvise(block, SlabPool::kBlockBytes, MADV_HUGEPAGE);
#endif
}

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
        if (spare_) {
            block = spare_;
            spare_ = nullptr;
        } else {
            void* memory = ::operator new(kBlockBytes, kBlockAlignment, std::nothrow);
            if (!memory)
                return nullptr;
            // A pool with few records keeps small pages: a large page would
            // make each of them take its whole block of memory.
            if (blockCount_ != 0 || expected_ >= slotsPerBlock_)
                offerLargePages(memory);
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
    ::operator delete(block, kBlockAlignment);
    --blockCount_;
}

} // namespace kolvane
