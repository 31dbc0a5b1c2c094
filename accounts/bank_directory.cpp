#include "bank_directory.h"

#include "document/text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace kolvane {
namespace {

// Far more banks than any country has; a larger file is refused unread.
constexpr std::uint64_t kMaxBanks = 10000;
constexpr std::uint64_t kMaxFileSize = kBankFileHeaderSize + kMaxBanks * kBankFileRecordSize;

// A copy of the two blocks in the directory's store; kNoLogo when memory runs out.
LogoId keepLogo(BankDirectory& directory, const std::uint8_t* pixels, const std::uint8_t* mask) {
    return directory.logos.add({pixels, kLogoPixelBytes}, {mask, kLogoMaskBytes});
}

// A damaged file may fill an array without a terminator; the last byte then
// becomes one, so that every text ends inside its array.
template <std::size_t N> void terminate(char (&field)[N]) {
    if (std::memchr(field, '\0', N) == nullptr)
        field[N - 1] = '\0';
}

std::int32_t readInt32(const std::uint8_t* p) {
    std::uint32_t value = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                          std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    return static_cast<std::int32_t>(value);
}

void appendInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void appendBytes(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

// Accented letters sort with their base letter, as a sorted list box shows them.
unsigned char baseLetter(unsigned char c) {
    c = lowerCp1252(c);
    if (c < 0xC0) {
        switch (c) {
        case 0x9C:
            return 'o'; // œ
        case 0x9A:
            return 's'; // š
        case 0x9E:
            return 'z'; // ž
        case 0xAA:
            return 'a'; // ª
        case 0xBA:
            return 'o'; // º
        default:
            return c;
        }
    }
    // The letters of 0xE0-0xFF (à to ÿ) without their accents.
    static constexpr char kBase[] = "aaaaaaaceeeeiiiidnoooooxouuuuyty";
    static_assert(sizeof(kBase) - 1 == 32);
    if (c >= 0xE0)
        return c == 0xF7 ? c : static_cast<unsigned char>(kBase[c - 0xE0]); // ÷ is no letter
    return c; // 0xC0-0xDF after lowering: ß and the signs
}

} // namespace

void freeBankDirectory(BankDirectory& directory) {
    directory.clear();
    directory.logos.clear();
}

bool parseBankDirectory(BankDirectory& directory, std::span<const std::uint8_t> bytes) {
    freeBankDirectory(directory);
    if (bytes.size() < kBankFileHeaderSize)
        return false;
    if (std::memcmp(bytes.data(), kBankDirectoryMagic, sizeof kBankDirectoryMagic) != 0)
        return false;
    const std::int32_t count = readInt32(bytes.data() + 8);
    if (count < 0)
        return false;
    const std::uint64_t expected =
        kBankFileHeaderSize + std::uint64_t(count) * std::uint64_t(kBankFileRecordSize);
    if (bytes.size() != expected)
        return false;

    const std::uint8_t* p = bytes.data() + kBankFileHeaderSize;
    for (std::int32_t i = 0; i < count; ++i, p += kBankFileRecordSize) {
        BankRecord* bank = directory.appendEmpty();
        const LogoId logo = keepLogo(directory, p + 168, p + 168 + kLogoPixelBytes);
        if (!bank || logo == kNoLogo) {
            freeBankDirectory(directory);
            return false;
        }
        std::memcpy(bank->name, p, sizeof bank->name);
        std::memcpy(bank->webAddress, p + sizeof bank->name, sizeof bank->webAddress);
        terminate(bank->name);
        terminate(bank->webAddress);
        bank->logo = logo;
    }
    return true;
}

bool loadBankDirectory(BankDirectory& directory, const std::string& path, FileSystem& fileSystem) {
    freeBankDirectory(directory);
    std::vector<std::uint8_t> bytes;
    try {
        if (fileSystem.readAll(path, bytes, kMaxFileSize) != ReadResult::Ok)
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return parseBankDirectory(directory, bytes);
}

bool loadBankDirectory(BankDirectory& directory, const std::string& path) {
    return loadBankDirectory(directory, path, platformFileSystem());
}

std::vector<std::uint8_t> serializeBankDirectory(const BankDirectory& directory) {
    std::vector<std::uint8_t> out;
    out.reserve(kBankFileHeaderSize + std::size_t(directory.count()) * kBankFileRecordSize);
    appendBytes(out, kBankDirectoryMagic, sizeof kBankDirectoryMagic);
    appendInt32(out, directory.count());
    for (const BankRecord& bank : directory) {
        appendBytes(out, bank.name, sizeof bank.name);
        appendBytes(out, bank.webAddress, sizeof bank.webAddress);
        if (const Logo* logo = bankLogo(directory, bank)) {
            appendBytes(out, logo->pixels.data(), kLogoPixelBytes);
            appendBytes(out, logo->mask.data(), kLogoMaskBytes);
        } else {
            out.insert(out.end(), kLogoPixelBytes, 0x00);
            out.insert(out.end(), kLogoMaskBytes, 0xFF);
        }
    }
    return out;
}

bool saveBankDirectory(const BankDirectory& directory, const std::string& path,
                       FileSystem& fileSystem) {
    if (path.empty())
        return false;
    std::vector<std::uint8_t> image;
    try {
        image = serializeBankDirectory(directory);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return replaceFileContent(fileSystem, path, image);
}

bool saveBankDirectory(const BankDirectory& directory, const std::string& path) {
    return saveBankDirectory(directory, path, platformFileSystem());
}

std::vector<BankRecord*> bankListRows(BankDirectory& directory, const Document& doc) {
    for (const AccountRecord& account : doc.accounts) {
        const Logo* accountLogo = kolvane::accountLogo(doc, account);
        if (!isAccount(account.id) || !accountLogo)
            continue;
        const std::string_view bankName = fieldText(account.bankName);
        if (bankName.empty() || findBank(directory, bankName) >= 0)
            continue;
        const LogoId logo =
            keepLogo(directory, accountLogo->pixels.data(), accountLogo->mask.data());
        if (logo == kNoLogo)
            continue;
        BankRecord* bank = directory.appendEmpty();
        if (!bank)
            continue;
        setFieldText(bank->name, bankName);
        setFieldText(bank->webAddress, fieldText(account.webAddress));
        bank->logo = logo;
    }

    std::vector<BankRecord*> rows;
    rows.reserve(std::size_t(directory.count()));
    for (BankRecord& bank : directory)
        rows.push_back(&bank);
    std::stable_sort(rows.begin(), rows.end(), [](const BankRecord* a, const BankRecord* b) {
        return compareBankNames(fieldText(a->name), fieldText(b->name)) < 0;
    });
    return rows;
}

int compareBankNames(std::string_view a, std::string_view b) {
    const std::size_t length = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < length; ++i) {
        const int ca = baseLetter(static_cast<unsigned char>(a[i]));
        const int cb = baseLetter(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return compareNoCase(a, b);
}

int findBank(const BankDirectory& directory, std::string_view nameCp1252) {
    int position = 0;
    for (const BankRecord& bank : directory) {
        if (equalNoCase(fieldText(bank.name), nameCp1252))
            return position;
        ++position;
    }
    return -1;
}

BankRecord* bankAt(const BankDirectory& directory, int position) {
    if (position < 0)
        return nullptr;
    BankRecord* bank = directory.first();
    for (int i = 0; bank && i < position; ++i)
        bank = directory.next(bank);
    return bank;
}

Refusal checkNewBank(std::string_view nameCp1252, bool hasPicture) {
    if (nameCp1252.empty())
        return {RefusalMessage::MissingBankName, RefusalField::BankName};
    if (!hasPicture)
        return {RefusalMessage::MissingBankLogo, RefusalField::None};
    return {};
}

std::optional<int> storeBank(BankDirectory& directory, int position, std::string_view nameCp1252,
                             std::string_view webCp1252, const std::uint8_t* pixels13824,
                             const std::uint8_t* mask576) {
    if (!pixels13824 || !mask576)
        return std::nullopt;
    // A logo kept when no record could be made only waits for the next clear.
    const LogoId logo = keepLogo(directory, pixels13824, mask576);
    if (logo == kNoLogo)
        return std::nullopt;
    BankRecord* bank = bankAt(directory, position);
    if (!bank) {
        bank = directory.appendEmpty();
        if (!bank)
            return std::nullopt;
        position = directory.count() - 1;
    }
    std::memset(bank->name, 0, sizeof bank->name);
    std::memset(bank->webAddress, 0, sizeof bank->webAddress);
    setFieldText(bank->name, nameCp1252.substr(0, kBankNameLimit));
    setFieldText(bank->webAddress, webCp1252.substr(0, kBankWebLimit));
    bank->logo = logo;
    return position;
}

std::string bankDirectoryPath(const std::string& executablePath) {
    const std::size_t separator = executablePath.find_last_of("/\\");
    if (separator == std::string::npos)
        return kBankDirectoryFileName;
    return executablePath.substr(0, separator + 1) + kBankDirectoryFileName;
}

} // namespace kolvane
