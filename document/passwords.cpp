#include "passwords.h"

#include "text.h"

#include <cstdlib>

namespace kolvane {
namespace {

// The shift of character `index`: six bits of the key, moving along it.
std::uint8_t shiftAt(std::uint32_t key, std::size_t index) {
    return static_cast<std::uint8_t>((key >> (index % 32)) & 63u);
}

} // namespace

std::string scramblePasswordWithKey(std::string_view plain, std::uint32_t key) {
    if (plain.size() > kPasswordMaxLength)
        plain = plain.substr(0, kPasswordMaxLength);
    std::string out(plain.size(), '\0');
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const std::uint8_t c = static_cast<std::uint8_t>(plain[i]);
        out[i] = static_cast<char>(static_cast<std::uint8_t>(c + shiftAt(key, i) - 12));
    }
    return out;
}

std::string scramblePassword(std::string_view plain, std::uint32_t& keyOut) {
    // rand() may return up to 31 bits (glibc) or 15 (Windows); the shift is
    // done unsigned so that neither overflows.
    const std::uint32_t high = static_cast<std::uint32_t>(std::rand());
    const std::uint32_t low = static_cast<std::uint32_t>(std::rand());
    keyOut = (high << 16) | (low & 0xFFFFu);
    return scramblePasswordWithKey(plain, keyOut);
}

std::string unscramblePassword(std::string_view scrambled, std::uint32_t key) {
    std::string out;
    for (std::size_t i = 0; i < scrambled.size() && scrambled[i] != '\0'; ++i) {
        const std::uint8_t c = static_cast<std::uint8_t>(scrambled[i]);
        out += static_cast<char>(static_cast<std::uint8_t>(c - shiftAt(key, i) + 12));
    }
    return out;
}

bool checkPassword(std::string_view typed, std::string_view scrambled, std::uint32_t key) {
    return unscramblePassword(scrambled, key) == typed;
}

bool checkPassword(std::string_view typed, const char (&scrambled)[24], std::uint32_t key) {
    return checkPassword(typed, std::string_view(scrambled, sizeof scrambled), key);
}

void storePassword(UserRecord& user, std::string_view plain) {
    std::uint32_t key = 0;
    const std::string scrambled = scramblePassword(plain, key);
    setFieldText(user.password, scrambled);
    user.passwordKey = key;
}

} // namespace kolvane
