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

#if defined(__linux__)
// Blocks come straight from the system: a mapping of twice the size, trimmed
// to the aligned block inside it. Large pages are only a hint; where they are
// not to be had, nothing changes.
void* newBlock(bool large) {
    constexpr std::size_t size = SlabPool::kBlockBytes;
    void* area = ::mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                        -1, 0);
    if (area == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t block = (start + size - 1) & ~std::uintptr_t{size - 1};
    const std::size_t before = block - start;
    if (before != 0)
        ::munmap(area, before);
    if (before != size)
        ::munmap(reinterpret_cast<void*>(block + size), size - before);
    if (large)
        ::madvise(reinterpret_cast<void*>(block), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(block);
}

void deleteBlock(void* block) {
    ::munmap(block, SlabPool::kBlockBytes);
}
#else
void* newBlock(bool) {
    return ::operator new(SlabPool::kBlockBytes, kBlockAlignment, std::nothrow);
}

void deleteBlock(void* block) {
    ::operator delete(block, kBlockAlignment);
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
        if (spare_) {
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

} // namespace kolvane
