// Memory for the nodes of the record lists. A pool hands out slots of one
// size from blocks of 2 MiB, each block with its own free list and count of
// slots in use; a block whose slots are all given back returns to the heap
// (one empty block is kept, so that adding and removing one record at a time
// does not allocate each time). Loading a million operations so makes about a
// hundred allocations instead of a million, and closing the document gives
// the memory back block by block.
//
// A block is aligned on its size, so the block of a slot is found by masking
// its address: slots carry no header. From a pool's second block on, or from
// its first when many slots are expected, blocks are offered to the system
// for large pages where it has them: a block then costs one page fault
// instead of 512. Pools are not thread-safe; documents live on one thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kolvane {

class SlabPool {
  public:
    static constexpr std::size_t kBlockBytes = std::size_t{2} << 20;

    // Slots are `slotSize` rounded up to a multiple of `alignment` (at most 64).
    constexpr SlabPool(std::size_t slotSize, std::size_t alignment)
        : slotSize_((slotSize + alignment - 1) / alignment * alignment),
          slotsPerBlock_((kBlockBytes - kHeaderBytes) / slotSize_) {}
    SlabPool(const SlabPool&) = delete;
    SlabPool& operator=(const SlabPool&) = delete;

    // A slot of `slotSize` bytes, uninitialised; null when memory runs out.
    [[nodiscard]] void* allocate() noexcept;
    // Gives back a slot that this pool handed out.
    void release(void* slot) noexcept;

    // Says that about `slots` slots are about to be asked for (a count read
    // from a file), so that even the first block is made for many; 0 when
    // that run of allocations is over. A hint only.
    void expect(std::size_t slots) noexcept { expected_ = slots; }

    // Blocks held from the heap (the kept empty one included).
    std::size_t blockCount() const { return blockCount_; }
    std::size_t slotsInEachBlock() const { return slotsPerBlock_; }

  private:
    struct Block;
    static constexpr std::size_t kHeaderBytes = 64;
    static Block* blockOf(void* slot) {
        return reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(slot) &
                                        ~std::uintptr_t{kBlockBytes - 1});
    }
    void linkOpen(Block* block) noexcept;
    void unlinkOpen(Block* block) noexcept;

    std::size_t slotSize_;
    std::size_t slotsPerBlock_;
    Block* open_ = nullptr; // blocks with at least one free slot
    Block* spare_ = nullptr;
    std::size_t blockCount_ = 0;
    std::size_t expected_ = 0;
};

} // namespace kolvane
