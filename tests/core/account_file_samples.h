// Documents for the account-file tests: every byte of every record filled
// with noise (texts carry garbage after their terminator, reserved words are
// nonzero), so that a loader or writer that drops or moves a single byte is
// caught by a byte-for-byte comparison.
#pragma once

#include "document/account_file.h"
#include "document/document.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kolvane::testing_samples {

// The file-relevant bytes of the two records that end with memory-only fields.
inline constexpr std::size_t kOperationCompared = offsetof(OperationRecord, lineCount) + 4;
inline constexpr std::size_t kAccountCompared = offsetof(AccountRecord, logo);
static_assert(kOperationCompared == 116);
static_assert(kAccountCompared == 568);

inline void fillNoise(void* data, std::size_t size, std::mt19937& random) {
    auto* bytes = static_cast<std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(random());
}

// A text with noise after its terminator.
template <std::size_t N> void noisyText(char (&field)[N], const char* text, std::mt19937& random) {
    fillNoise(field, N, random);
    std::size_t length = std::strlen(text);
    std::memcpy(field, text, length < N - 1 ? length : N - 1);
    field[length < N - 1 ? length : N - 1] = '\0';
}

inline OperationRecord noisyOperation(std::mt19937& random, PartyId party, PartyId counterparty,
                                      std::uint32_t id) {
    OperationRecord operation;
    fillNoise(&operation, sizeof operation, random);
    operation.partyId = party;
    operation.counterpartyId = counterparty;
    operation.id = id;
    noisyText(operation.label, "Op\xE9ration", random);
    operation.lineCount = 0;
    operation.lines = nullptr;
    return operation;
}

inline void addNoisySplit(Document& doc, std::mt19937& random, PartyId party, std::uint32_t id,
                          int lines) {
    OperationRecord* split = doc.operations.append(noisyOperation(random, party, Split, id));
    split->lines = new OperationList;
    for (int i = 0; i < lines; ++i)
        split->lines->append(noisyOperation(random, Split, 0x010001 + i, id));
    split->lineCount = static_cast<std::uint32_t>(lines);
}

// Two users, three modes, four categories, two labels, two reserved records,
// three accounts (the second with a logo), two third parties and eight
// operations, two of them split (three lines and one line).
inline void buildRichDocument(Document& doc, std::uint32_t seed = 1) {
    std::mt19937 random(seed);
    documentInit(doc);
    doc.alertsEnabled = 0;
    for (std::uint32_t i = 0; i < 2; ++i) {
        UserRecord user;
        fillNoise(&user, sizeof user, random);
        noisyText(user.name, i ? "Marie" : "Jos\xE9", random);
        user.id = i + 1;
        doc.users.append(user);
    }
    for (std::uint16_t i = 0; i < 3; ++i) {
        ModeRecord mode;
        fillNoise(&mode, sizeof mode, random);
        noisyText(mode.name, "Ch\xE8que", random);
        doc.modes.append(mode);
    }
    for (std::uint16_t i = 0; i < 4; ++i) {
        CategoryRecord category;
        fillNoise(&category, sizeof category, random);
        noisyText(category.name, "Sant\xE9", random);
        doc.categories.append(category);
    }
    for (int i = 0; i < 2; ++i) {
        LabelRecord label;
        fillNoise(&label, sizeof label, random);
        noisyText(label.text, i ? "Loyer" : "Boulangerie", random);
        doc.labels.append(label);
    }
    for (int i = 0; i < 2; ++i) {
        ReservedRecord reserved;
        fillNoise(&reserved, sizeof reserved, random);
        doc.reserved.append(reserved);
    }
    for (std::uint32_t i = 0; i < 3; ++i) {
        AccountRecord account;
        fillNoise(&account, sizeof account, random);
        noisyText(account.name, "Compte ch\xE8que", random);
        noisyText(account.webAddress, "https://banque.example/", random);
        account.id = makePartyId(Account, i);
        account.logo = kNoLogo;
        if (i == 1) {
            std::vector<std::uint8_t> pixels(kLogoPixelBytes), mask(kLogoMaskBytes);
            fillNoise(pixels.data(), pixels.size(), random);
            fillNoise(mask.data(), mask.size(), random);
            account.logo = doc.logos.add(pixels, mask);
        }
        doc.accounts.append(account);
    }
    doc.currentAccount = doc.accounts.first();
    for (std::uint32_t i = 0; i < 2; ++i) {
        ThirdRecord third;
        fillNoise(&third, sizeof third, random);
        noisyText(third.name, "Boulanger", random);
        noisyText(third.note, "Ligne 1\r\nLigne 2", random);
        third.id = makePartyId(Third, i);
        doc.thirds.append(third);
    }
    doc.operations.append(noisyOperation(random, 0x080000, InitialBalance, 0));
    doc.operations.append(noisyOperation(random, 0x080001, InitialBalance, 1));
    doc.operations.append(noisyOperation(random, 0x080002, InitialBalance, 2));
    doc.operations.append(noisyOperation(random, 0x080000, 0x010001, 3));
    addNoisySplit(doc, random, 0x080000, 4, 3);
    doc.operations.append(noisyOperation(random, 0x080001, 0x080000, 5));
    addNoisySplit(doc, random, 0x080002, 6, 1);
    doc.operations.append(noisyOperation(random, 0x040001, 0x080001, 7));
    doc.nextOperationId = 8;
    doc.nextAccountNumber = 3;
    doc.nextThirdNumber = 2;
}

inline std::vector<std::uint8_t> richImage(std::uint32_t seed = 1) {
    Document doc;
    buildRichDocument(doc, seed);
    return serializeDocument(doc);
}

// What a refused load must leave: nothing.
inline bool isEmpty(const Document& doc) {
    return doc.users.empty() && doc.modes.empty() && doc.categories.empty() && doc.labels.empty() &&
           doc.reserved.empty() && doc.accounts.empty() && doc.thirds.empty() &&
           doc.operations.empty() && !doc.currentAccount && !doc.currentUser &&
           doc.nextOperationId == 0 && doc.nextAccountNumber == 0 && doc.nextThirdNumber == 0 &&
           doc.isOpen == 0 && doc.filePath.empty();
}

inline std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

template <class Record>
void expectSameList(const RecordList<Record>& expected, const RecordList<Record>& actual,
                    std::size_t compared, const char* what) {
    ASSERT_EQ(expected.count(), actual.count()) << what;
    const Record* e = expected.first();
    const Record* a = actual.first();
    for (int i = 0; e && a; ++i, e = expected.next(e), a = actual.next(a))
        EXPECT_EQ(std::memcmp(e, a, compared), 0) << what << " #" << i;
}

// Every record, byte for byte, with the lines and logos.
inline void expectSameRecords(const Document& expected, const Document& actual) {
    expectSameList(expected.users, actual.users, sizeof(UserRecord), "user");
    expectSameList(expected.modes, actual.modes, sizeof(ModeRecord), "mode");
    expectSameList(expected.categories, actual.categories, sizeof(CategoryRecord), "category");
    expectSameList(expected.labels, actual.labels, sizeof(LabelRecord), "label");
    expectSameList(expected.reserved, actual.reserved, sizeof(ReservedRecord), "reserved");
    expectSameList(expected.thirds, actual.thirds, sizeof(ThirdRecord), "third");
    expectSameList(expected.accounts, actual.accounts, kAccountCompared, "account");
    expectSameList(expected.operations, actual.operations, kOperationCompared, "operation");
    const AccountRecord* e = expected.accounts.first();
    const AccountRecord* a = actual.accounts.first();
    for (; e && a; e = expected.accounts.next(e), a = actual.accounts.next(a)) {
        const Logo* expectedLogo = accountLogo(expected, *e);
        const Logo* actualLogo = accountLogo(actual, *a);
        ASSERT_EQ(expectedLogo == nullptr, actualLogo == nullptr);
        if (expectedLogo) {
            EXPECT_EQ(expectedLogo->pixels, actualLogo->pixels);
            EXPECT_EQ(expectedLogo->mask, actualLogo->mask);
        }
    }
    const OperationRecord* eo = expected.operations.first();
    const OperationRecord* ao = actual.operations.first();
    for (; eo && ao; eo = expected.operations.next(eo), ao = actual.operations.next(ao)) {
        ASSERT_EQ(eo->lines == nullptr, ao->lines == nullptr) << "operation " << eo->id;
        if (eo->lines)
            expectSameList(*eo->lines, *ao->lines, kOperationCompared, "line");
    }
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::random_device device;
        path_ = std::filesystem::temp_directory_path() /
                ("kolvane-test-" + std::to_string(device()) + "-" + std::to_string(device()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A path the build gives into the source tree; under Wine the Linux file
// system is the drive Z:.
inline std::string sourcePath(std::string path) {
#ifdef _WIN32
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
#endif
    return path;
}

inline std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace kolvane::testing_samples
