// Fixed-size records of an account file. Their fields mirror the bytes of the
// file one for one; the file is read and written field by field (see
// account_file.cpp), so the in-memory layout of these structs is free.
// Texts are Windows-1252, NUL-terminated inside their array; the bytes after
// the terminator are kept as they were read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kolvane {

template <class Record> class RecordList;

using PartyId = std::uint32_t;
using CategoryId = std::uint32_t;
using FileTime = std::uint64_t; // 100 ns units since 1601-01-01, local time
using LogoId = std::uint32_t;   // see logo_store.h
inline constexpr LogoId kNoLogo = 0;

enum PartyKind : std::uint32_t {
    Category = 0x010000,
    Split = 0x020000,
    Third = 0x040000,
    Account = 0x080000,
    InitialBalance = 0x100000,
    DeletedAccount = 0x800000,
};

struct OperationRecord {
    PartyId partyId;
    PartyId counterpartyId;
    double amount;
    double balanceAfterParty;
    double balanceAfterCounterparty;
    FileTime entryDate;
    FileTime modifiedDate;
    FileTime operationDate;
    std::uint32_t creatorUserId;
    std::uint32_t modifierUserId;
    std::uint32_t id;
    std::uint16_t modeId;
    std::uint16_t pointed;
    char label[40];
    std::uint32_t lineCount;
    // Ventilation lines of a split operation, owned by the document; null when
    // the operation is not split. Never written to the file.
    RecordList<OperationRecord>* lines;
};
using VentilationLine = OperationRecord;

struct AccountRecord {
    char name[40];
    char webAddress[128];
    char holderName[32];
    char holderFirstNames[32];
    char address[40];
    char addressComplement[40];
    char city[32];
    char postCode[6];
    std::uint8_t civility;
    char ribKey[3];
    char bankCode[6];
    char branchCode[6];
    char bankName[40];
    char accountNumber[12];
    char domiciliation[32];
    char bic[32];
    char phone[16];
    std::uint8_t reserved498[6];
    double initialBalance;
    double minimumAllowed;
    double minimumWanted;
    double balance;
    double pointedBalance;
    std::uint32_t operationCount;
    std::uint32_t reserved548;
    PartyId id;
    std::uint32_t initialOperationId;
    std::uint16_t initialPointed;
    std::uint16_t active;
    std::uint32_t reserved564;
    // Memory only: the bank logo, kept in the document's logo store
    // (kNoLogo: none).
    LogoId logo;
};

struct ThirdRecord {
    char name[40];
    PartyId id;
    std::uint32_t reserved44;
    double initialBalance;
    double balance;
    std::uint32_t initialOperationId;
    std::uint32_t operationCount;
    char note[128];
    std::uint16_t reserved200;
    std::uint16_t active;
    std::uint32_t reserved204;
};

struct CategoryRecord {
    char name[32];
    std::uint16_t id;
    std::uint16_t shown;
};

struct ModeRecord {
    char name[32];
    std::uint16_t id;
    std::uint16_t kind;
};

struct LabelRecord {
    char text[40];
    CategoryId categoryId;
};

struct UserRecord {
    char name[40];
    char password[24];
    std::uint32_t passwordKey;
    std::uint32_t id;
    std::uint32_t flags;
};

struct ReservedRecord {
    std::uint8_t bytes[88];
};

// Sizes of the records in the account file.
inline constexpr std::size_t kOperationFileSize = 120;
inline constexpr std::size_t kAccountFileSize = 568;
inline constexpr std::size_t kThirdFileSize = 208;
inline constexpr std::size_t kCategoryFileSize = 36;
inline constexpr std::size_t kModeFileSize = 36;
inline constexpr std::size_t kLabelFileSize = 44;
inline constexpr std::size_t kUserFileSize = 76;
inline constexpr std::size_t kReservedFileSize = 88;

// Logo blocks: 96 x 48 pixels, 24-bit pixels and a 1-bit mask.
inline constexpr int kLogoWidth = 96;
inline constexpr int kLogoHeight = 48;
inline constexpr std::size_t kLogoPixelBytes = 13824;
inline constexpr std::size_t kLogoMaskBytes = 576;

// User flags.
inline constexpr std::uint32_t kUserLimited = 0x80000000u;
inline constexpr std::uint32_t kUserRefused = 0x40000000u;

inline constexpr std::uint16_t kCreditBit = 0x8000;

} // namespace kolvane
