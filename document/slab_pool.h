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
#include <thread>

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

    // Blocks held from the heap (the kept empty one included).
    std::size_t blockCount() const { return blockCount_; }
    std::size_t slotsInEachBlock() const { return slotsPerBlock_; }

  private:
    friend class SlabReserve;
    struct Block;
    static constexpr std::size_t kHeaderBytes = 64;
    static Block* blockOf(void* slot) {
        return reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(slot) &
                                        ~std::uintptr_t{kBlockBytes - 1});
    }
    void linkOpen(Block* block) noexcept;
    void unlinkOpen(Block* block) noexcept;
    Block* takeReserved() noexcept;
    Block* reserve(std::size_t certain, std::size_t possible) noexcept;
    void dropReserve() noexcept;
    static void bringIn(Block* last, const bool& stop) noexcept;

    std::size_t slotSize_;
    std::size_t slotsPerBlock_;
    Block* open_ = nullptr; // blocks with at least one free slot
    Block* spare_ = nullptr;
    std::size_t blockCount_ = 0;
    std::size_t expected_ = 0; // slots a SlabReserve announced
    Block* reserved_ = nullptr; // made ahead of use, in the order they are taken
};

// Announces to `pool`, for as long as it lives, that `certain` slots are
// about to be asked for (a count read from a file and checked against its
// size), and perhaps up to `possible` (at least `certain`). The blocks for the
// certain ones are made at once and handed out before any new one; a helper
// thread brings their pages into memory from the last block back while the
// caller goes on, so that the system's zeroing of fresh pages is shared with a
// second processor. Where many slots may come, even the first block is made
// for large pages. The blocks still unused when the reserve goes are given back.
class SlabReserve {
  public:
    SlabReserve(SlabPool& pool, std::size_t certain, std::size_t possible) noexcept;
    ~SlabReserve();
    SlabReserve(const SlabReserve&) = delete;
    SlabReserve& operator=(const SlabReserve&) = delete;

  private:
    SlabPool& pool_;
    bool stop_ = false; // read and written atomically
    std::thread helper_;
};

} // namespace kolvane
