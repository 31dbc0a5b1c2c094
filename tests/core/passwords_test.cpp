#include "document/passwords.h"

#include "document/text.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kolvane {
namespace {

// Every one of the 15 characters takes its own six bits of the key, key >> i:
// with 0x89ABCDEF, 'K' + 47 - 12 = 110, 'o' + 55 - 12 = 154, ... as another
// writer following the rule stores them.
TEST(Passwords, ScramblesAllFifteenCharactersWithTheirOwnBits) {
    const unsigned char stored[] = {110, 154, 155, 167, 115, 145, 144, 65,
                                    49,  76,  93,  78,  168, 139, 157};
    const std::string other(reinterpret_cast<const char*>(stored), sizeof stored);
    EXPECT_EQ(scramblePasswordWithKey("Kolvane2026!xyz", 0x89ABCDEFu), other);
    EXPECT_EQ(checkPassword("Kolvane2026!xyz", other, 0x89ABCDEFu), 1);
    // 'ú' (250) + 47 - 12 = 285, stored as 29; and back.
    EXPECT_EQ(scramblePasswordWithKey("\xFA", 0x89ABCDEFu), "\x1D");
    EXPECT_EQ(unscramblePassword("\x1D", 0x89ABCDEFu), "\xFA");
}

TEST(Passwords, PrintableTextRoundTripsAndNeverGivesZero) {
    // Codes 32 to 204 shifted by 0 to 63, minus 12, stay within 20 to 255.
    for (std::uint32_t key : {0u, 0xFFFFFFFFu, 0x9E3779B9u}) {
        for (int first = 32; first <= 204; first += 15) {
            std::string plain;
            for (int c = first; c < first + 15 && c <= 204; ++c)
                plain += static_cast<char>(c);
            const std::string scrambled = scramblePasswordWithKey(plain, key);
            EXPECT_EQ(scrambled.find('\0'), std::string::npos) << key << " " << first;
            EXPECT_EQ(unscramblePassword(scrambled, key), plain) << key << " " << first;
            EXPECT_EQ(checkPassword(plain, scrambled, key), 1);
        }
    }
}

TEST(Passwords, AScrambledZeroEndsTheStoredPassword) {
    // Key 52: shifts 52, 26 and 13 for characters 0 to 2; 'ÿ' (255) + 13 - 12 = 0.
    const std::string plain = "ab\xFF";
    const std::string scrambled = scramblePasswordWithKey(plain, 52u);
    ASSERT_EQ(scrambled.size(), 3u);
    EXPECT_EQ(scrambled[2], '\0');
    UserRecord user{};
    setFieldText(user.password, scrambled);
    user.passwordKey = 52u;
    EXPECT_EQ(checkPassword(plain, user.password, user.passwordKey), 0);
    // What is left is the part before the zero.
    EXPECT_EQ(checkPassword("ab", user.password, user.passwordKey), 1);
}

TEST(Passwords, AFreshKeyComesFromTwoDraws) {
    std::srand(1234);
    const std::uint32_t high = static_cast<std::uint32_t>(std::rand());
    const std::uint32_t low = static_cast<std::uint32_t>(std::rand());
    std::srand(1234);
    std::uint32_t key = 0;
    const std::string scrambled = scramblePassword("motdepasse", key);
    EXPECT_EQ(key, (high << 16) | (low & 0xFFFFu));
    EXPECT_EQ(checkPassword("motdepasse", scrambled, key), 1);
}

} // namespace
} // namespace kolvane
