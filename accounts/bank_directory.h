// The bank directory: the banking establishments the account dialog offers,
// each with a name, a web address and a 96 x 48 logo with its mask. It lives in
// "etabid.kvb" beside the program, shared by every account file:
//   magic "KolvaKVB", a signed 32-bit record count, then 14 568-byte records
//   (name 40, web address 128, pixel block 13 824, mask block 576).
// Everything here is portable; the Win32 layer only draws the logos and
// shows the controls.
#pragma once

#include "document/document.h"
#include "document/file_system.h"
#include "document/logo_store.h"
#include "document/record_list.h"
#include "document/refusal.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

struct BankRecord {
    char name[40];        // Windows-1252, NUL-terminated
    char webAddress[128]; // Windows-1252, NUL-terminated
    LogoId logo;          // in the directory's logo store; kNoLogo: none
};

// The records in file order, and their logos.
class BankDirectory : public RecordList<BankRecord> {
  public:
    LogoStore logos;
    // Not the record lists' pool: a directory is a plain object.
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* memory) noexcept { ::operator delete(memory); }
};

inline const Logo* bankLogo(const BankDirectory& directory, const BankRecord& bank) {
    return directory.logos.find(bank.logo);
}

inline constexpr char kBankDirectoryMagic[8] = {'K', 'o', 'l', 'v', 'a', 'K', 'V', 'B'};
inline constexpr const char* kBankDirectoryFileName = "etabid.kvb";
inline constexpr std::size_t kBankFileHeaderSize = 12;
inline constexpr std::size_t kBankFileRecordSize = 40 + 128 + kLogoPixelBytes + kLogoMaskBytes;
static_assert(kBankFileRecordSize == 14568);

// The most characters the "Nouvelle banque" dialog keeps of a name and of a
// web address.
inline constexpr std::size_t kBankNameLimit = 38;
inline constexpr std::size_t kBankWebLimit = 126;

// Texts of the "Nouvelle banque" dialog (UTF-8).
// Follows the name of a picture file that could not be decoded.
inline constexpr const char* kUnreadablePictureMessage =
    " ne peut pas être lue : ce n'est pas une image BMP, JPEG ou GIF, ou elle est endommagée.\n"
    "Choisissez une autre image.";
inline constexpr const char* kReplaceBankQuestion =
    "Cet établissement bancaire existe déjà.\nVoulez-vous le remplacer ?";

// Empties the directory and its logo store.
void freeBankDirectory(BankDirectory& directory);

// Reads a directory image. The file must hold exactly the records its count
// announces: a negative count, a short file or bytes after the last record give
// an empty directory and false, never a partial one. The directory is freed
// first in every case.
[[nodiscard]] bool parseBankDirectory(BankDirectory& directory,
                                      std::span<const std::uint8_t> bytes);
[[nodiscard]] bool loadBankDirectory(BankDirectory& directory, const std::string& path,
                                     FileSystem& fileSystem);
[[nodiscard]] bool loadBankDirectory(BankDirectory& directory, const std::string& path);

// The file image: records in list order, name and web address with every byte
// of their arrays. A record without logo is written black and transparent.
std::vector<std::uint8_t> serializeBankDirectory(const BankDirectory& directory);
// Writes a temporary file beside `path`, then replaces `path` with it, so that
// a failed save leaves the old directory as it was.
[[nodiscard]] bool saveBankDirectory(const BankDirectory& directory, const std::string& path,
                                     FileSystem& fileSystem);
[[nodiscard]] bool saveBankDirectory(const BankDirectory& directory, const std::string& path);

// The rows of the account dialog's bank list. First merges into `directory`
// the banks that only accounts know: for each account (masked ones included)
// with a bank name and a logo, when no record has that name ignoring case, a
// record with a copy of the account's logo, its bank name and web
// address (the first such account wins). Returns every record, ordered as a
// sorted list shows them.
std::vector<BankRecord*> bankListRows(BankDirectory& directory, const Document& doc);

// The order of the bank list: letters compared without case or accents
// (Crédit before Credo), ties broken case-insensitively on the exact bytes.
int compareBankNames(std::string_view a, std::string_view b);

// Position (from 0) of the first record named `nameCp1252` ignoring case, or -1.
int findBank(const BankDirectory& directory, std::string_view nameCp1252);
BankRecord* bankAt(const BankDirectory& directory, int position);

// What the "Nouvelle banque" dialog refuses, in the order it checks.
// A missing logo is said without moving the focus.
Refusal checkNewBank(std::string_view nameCp1252, bool hasPicture);

// Stores a bank confirmed in the "Nouvelle banque" dialog: replaces the record
// at `position` (name and web address rewritten from zero-filled arrays, the
// logo replaced) or, when `position` is -1, appends one. The two blocks are
// copied. Returns the position of the record, or nothing (directory
// unchanged) when a block is missing or memory runs out.
[[nodiscard]] std::optional<int> storeBank(BankDirectory& directory, int position,
                                           std::string_view nameCp1252, std::string_view webCp1252,
                                           const std::uint8_t* pixels13824,
                                           const std::uint8_t* mask576);

// The directory file of a program: its folder (after the last '/' or '\\')
// followed by "etabid.kvb".
std::string bankDirectoryPath(const std::string& executablePath);

} // namespace kolvane
