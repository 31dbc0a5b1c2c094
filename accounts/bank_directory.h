// The bank directory: the banking establishments the account dialog offers,
// each with a name, a web address and a 96 x 48 logo with its mask. It lives in
// "etabid.kvb" beside the program, shared by every account file:
//   magic "KolvaKVB", a signed 32-bit record count, then 14 568-byte records
//   (name 40, web address 128, pixel block 13 824, mask block 576).
// Everything here is portable; the Win32 layer only makes and draws bitmaps
// (through the hooks below) and shows the controls.
#pragma once

#include "document/document.h"
#include "document/file_system.h"
#include "document/record_list.h"
#include "document/refusal.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

struct BankRecord {
    char name[40];        // Windows-1252, NUL-terminated
    char webAddress[128]; // Windows-1252, NUL-terminated
    // Both blocks or neither, allocated with malloc and owned by the directory.
    std::uint8_t* logoPixels; // 13 824 bytes, as in AccountRecord
    std::uint8_t* logoMask;   // 576 bytes
    // Platform bitmaps made from the blocks, or null.
    void* logoBitmap;
    void* logoMaskBitmap;
};

using BankDirectory = RecordList<BankRecord>;

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

// The Win32 layer installs the function that makes a 96 x 48 bitmap from a
// block: 24 bits per pixel for the pixel block, 1 bit (palette black, white)
// for the mask. Without it (native builds, tests) no bitmap is made.
using LogoBitmapMaker = void* (*)(const std::uint8_t* block, int bitsPerPixel);
void setLogoBitmapMaker(LogoBitmapMaker maker);

// Makes the bitmaps a record lacks from the blocks it has.
void makeLogoBitmaps(BankRecord& bank);
// Releases one record's blocks and bitmaps (bitmaps through the document's
// bitmap releaser).
void releaseBankLogo(BankRecord& bank);
// Releases every record's blocks and bitmaps, then empties the list.
void freeBankDirectory(BankDirectory& directory);

// Reads a directory image. The file must hold exactly the records its count
// announces: a negative count, a short file or bytes after the last record give
// an empty directory and 0, never a partial one. Returns 1 on success. The
// directory is freed first in every case.
int parseBankDirectory(BankDirectory& directory, std::span<const std::uint8_t> bytes);
int loadBankDirectory(BankDirectory& directory, const std::string& path, FileSystem& fileSystem);
int loadBankDirectory(BankDirectory& directory, const std::string& path);

// The file image: records in list order, name and web address with every byte
// of their arrays. A record without logo is written black and transparent.
std::vector<std::uint8_t> serializeBankDirectory(const BankDirectory& directory);
// Writes a temporary file beside `path`, then replaces `path` with it, so that
// a failed save leaves the old directory as it was. Returns 1, or 0.
int saveBankDirectory(const BankDirectory& directory, const std::string& path,
                      FileSystem& fileSystem);
int saveBankDirectory(const BankDirectory& directory, const std::string& path);

// The rows of the account dialog's bank list. First merges into `directory`
// the banks that only accounts know: for each account (masked ones included)
// with a bank name and a logo, when no record has that name ignoring case, a
// record with copies of the account's logo blocks, its bank name and web
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
// at `position` (its blocks and bitmaps released, name and web address
// rewritten from zero-filled arrays) or, when `position` is -1, appends one.
// The two blocks are copied and their bitmaps made. Returns the position of the
// record, or -1 (directory unchanged) when memory runs out.
int storeBank(BankDirectory& directory, int position, std::string_view nameCp1252,
              std::string_view webCp1252, const std::uint8_t* pixels13824,
              const std::uint8_t* mask576);

// The directory file of a program: its folder (after the last '/' or '\\')
// followed by "etabid.kvb".
std::string bankDirectoryPath(const std::string& executablePath);

} // namespace kolvane
