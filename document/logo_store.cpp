#include "logo_store.h"

#include <new>

namespace kolvane {

LogoId LogoStore::add(std::span<const std::uint8_t> pixels, std::span<const std::uint8_t> mask) {
    if (pixels.size() != kLogoPixelBytes || mask.size() != kLogoMaskBytes)
        return kNoLogo;
    try {
        logos_.push_back(Logo{{pixels.begin(), pixels.end()}, {mask.begin(), mask.end()}});
    } catch (const std::bad_alloc&) {
        return kNoLogo;
    }
    return first_ + static_cast<LogoId>(logos_.size() - 1);
}

const Logo* LogoStore::find(LogoId id) const {
    if (id < first_ || id - first_ >= logos_.size())
        return nullptr;
    return &logos_[id - first_];
}

void LogoStore::clear() {
    first_ += static_cast<LogoId>(logos_.size());
    logos_.clear();
    logos_.shrink_to_fit();
}

} // namespace kolvane
