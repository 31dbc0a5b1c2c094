// Bank logos kept by value. A record names its logo by an identifier into a
// store, so that copying a record byte for byte (lists, undo, snapshots)
// never copies or shares an owner. A stored logo never changes: a record
// that gets another logo gets another identifier, and the former one stays
// valid until the store is cleared, so undo can put it back. Identifiers are
// never handed out twice by one store, even across `clear`, so a cache of
// what is drawn from a logo can key on the identifier alone.
#pragma once

#include "records.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kolvane {

struct Logo {
    std::vector<std::uint8_t> pixels; // kLogoPixelBytes: 24-bit, bottom-up rows
    std::vector<std::uint8_t> mask;   // kLogoMaskBytes: 1 bit, 1 = transparent
};

class LogoStore {
  public:
    // Keeps a copy of both blocks. Returns its identifier, or kNoLogo when a
    // block has the wrong size or memory runs out (nothing kept).
    [[nodiscard]] LogoId add(std::span<const std::uint8_t> pixels,
                             std::span<const std::uint8_t> mask);
    // The logo of `id`, or null (kNoLogo, or an identifier from before `clear`).
    const Logo* find(LogoId id) const;
    void clear();

  private:
    std::vector<Logo> logos_;
    LogoId first_ = 1; // the identifier of logos_[0]
};

} // namespace kolvane
