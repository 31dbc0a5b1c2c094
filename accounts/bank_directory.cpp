#include "bank_directory.h"

#include "document/text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace kolvane {
namespace {

// Far more banks than any country has; a larger file is refused unread.
constexpr std::uint64_t kMaxBanks = 10000;
constexpr std::uint64_t kMaxFileSize = kBankFileHeaderSize + kMaxBanks * kBankFileRecordSize;

LogoBitmapMaker gLogoBitmapMaker = nullptr;

std::uint8_t* copyBlock(const std::uint8_t* source, std::size_t size) {
    auto* block = static_cast<std::uint8_t*>(std::malloc(size));
    if (block && source)
        std::memcpy(block, source, size);
    return block;
}

// Both blocks or neither: on failure nothing stays allocated.
bool copyBlocks(const std::uint8_t* pixels, const std::uint8_t* mask, std::uint8_t*& pixelsCopy,
                std::uint8_t*& maskCopy) {
    pixelsCopy = copyBlock(pixels, kLogoPixelBytes);
    maskCopy = copyBlock(mask, kLogoMaskBytes);
    if (pixelsCopy && maskCopy)
        return true;
    std::free(pixelsCopy);
    std::free(maskCopy);
    pixelsCopy = maskCopy = nullptr;
    return false;
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

void setLogoBitmapMaker(LogoBitmapMaker maker) {
    gLogoBitmapMaker = maker;
}

void makeLogoBitmaps(BankRecord& bank) {
    if (!gLogoBitmapMaker)
        return;
    if (bank.logoPixels && !bank.logoBitmap)
        bank.logoBitmap = gLogoBitmapMaker(bank.logoPixels, 24);
    if (bank.logoMask && !bank.logoMaskBitmap)
        bank.logoMaskBitmap = gLogoBitmapMaker(bank.logoMask, 1);
}

void releaseBankLogo(BankRecord& bank) {
    releaseLogoBlocks(bank.logoPixels, bank.logoMask, bank.logoBitmap, bank.logoMaskBitmap);
}

void freeBankDirectory(BankDirectory& directory) {
    for (BankRecord& bank : directory)
        releaseBankLogo(bank);
    directory.clear();
}

int parseBankDirectory(BankDirectory& directory, std::span<const std::uint8_t> bytes) {
    freeBankDirectory(directory);
    if (bytes.size() < kBankFileHeaderSize)
        return 0;
    if (std::memcmp(bytes.data(), kBankDirectoryMagic, sizeof kBankDirectoryMagic) != 0)
        return 0;
    const std::int32_t count = readInt32(bytes.data() + 8);
    if (count < 0)
        return 0;
    const std::uint64_t expected =
        kBankFileHeaderSize + std::uint64_t(count) * std::uint64_t(kBankFileRecordSize);
    if (bytes.size() != expected)
        return 0;

    const std::uint8_t* p = bytes.data() + kBankFileHeaderSize;
    for (std::int32_t i = 0; i < count; ++i, p += kBankFileRecordSize) {
        BankRecord* bank = directory.appendEmpty();
        if (!bank ||
            !copyBlocks(p + 168, p + 168 + kLogoPixelBytes, bank->logoPixels, bank->logoMask)) {
            freeBankDirectory(directory);
            return 0;
        }
        std::memcpy(bank->name, p, sizeof bank->name);
        std::memcpy(bank->webAddress, p + sizeof bank->name, sizeof bank->webAddress);
        terminate(bank->name);
        terminate(bank->webAddress);
        makeLogoBitmaps(*bank);
    }
    return 1;
}

int loadBankDirectory(BankDirectory& directory, const std::string& path, FileSystem& fileSystem) {
    freeBankDirectory(directory);
    std::vector<std::uint8_t> bytes;
    try {
        if (fileSystem.readAll(path, bytes, kMaxFileSize) != ReadResult::Ok)
            return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return parseBankDirectory(directory, bytes);
}

int loadBankDirectory(BankDirectory& directory, const std::string& path) {
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
        if (bank.logoPixels && bank.logoMask) {
            appendBytes(out, bank.logoPixels, kLogoPixelBytes);
            appendBytes(out, bank.logoMask, kLogoMaskBytes);
        } else {
            out.insert(out.end(), kLogoPixelBytes, 0x00);
            out.insert(out.end(), kLogoMaskBytes, 0xFF);
        }
    }
    return out;
}

int saveBankDirectory(const BankDirectory& directory, const std::string& path,
                      FileSystem& fileSystem) {
    if (path.empty())
        return 0;
    std::vector<std::uint8_t> image;
    try {
        image = serializeBankDirectory(directory);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return replaceFileContent(fileSystem, path, image) ? 1 : 0;
}

int saveBankDirectory(const BankDirectory& directory, const std::string& path) {
    return saveBankDirectory(directory, path, platformFileSystem());
}

std::vector<BankRecord*> bankListRows(BankDirectory& directory, const Document& doc) {
    for (const AccountRecord& account : doc.accounts) {
        if (!isAccount(account.id) || !account.logoPixels || !account.logoMask)
            continue;
        const std::string_view bankName = fieldText(account.bankName);
        if (bankName.empty() || findBank(directory, bankName) >= 0)
            continue;
        std::uint8_t* pixels = nullptr;
        std::uint8_t* mask = nullptr;
        if (!copyBlocks(account.logoPixels, account.logoMask, pixels, mask))
            continue;
        BankRecord* bank = directory.appendEmpty();
        if (!bank) {
            std::free(pixels);
            std::free(mask);
            continue;
        }
        setFieldText(bank->name, bankName);
        setFieldText(bank->webAddress, fieldText(account.webAddress));
        bank->logoPixels = pixels;
        bank->logoMask = mask;
        makeLogoBitmaps(*bank);
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

int storeBank(BankDirectory& directory, int position, std::string_view nameCp1252,
              std::string_view webCp1252, const std::uint8_t* pixels13824,
              const std::uint8_t* mask576) {
    if (!pixels13824 || !mask576)
        return -1;
    std::uint8_t* pixels = nullptr;
    std::uint8_t* mask = nullptr;
    if (!copyBlocks(pixels13824, mask576, pixels, mask))
        return -1;
    BankRecord* bank = bankAt(directory, position);
    if (bank) {
        releaseBankLogo(*bank);
    } else {
        bank = directory.appendEmpty();
        if (!bank) {
            std::free(pixels);
            std::free(mask);
            return -1;
        }
        position = directory.count() - 1;
    }
    std::memset(bank->name, 0, sizeof bank->name);
    std::memset(bank->webAddress, 0, sizeof bank->webAddress);
    setFieldText(bank->name, nameCp1252.substr(0, kBankNameLimit));
    setFieldText(bank->webAddress, webCp1252.substr(0, kBankWebLimit));
    bank->logoPixels = pixels;
    bank->logoMask = mask;
    makeLogoBitmaps(*bank);
    return position;
}

std::string bankDirectoryPath(const std::string& executablePath) {
    const std::size_t separator = executablePath.find_last_of("/\\");
    if (separator == std::string::npos)
        return kBankDirectoryFileName;
    return executablePath.substr(0, separator + 1) + kBankDirectoryFileName;
}

} // namespace kolvane
