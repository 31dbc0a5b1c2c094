#include "account_file_samples.h"

#include "document/account_file.h"
#include "document/document.h"
#include "document/file_system.h"
#include "document/text.h"

#include "memory_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace kolvane {
namespace {

using namespace testing_samples;

// A little-endian writer of our own, to say what the file must hold without
// going through the code under test.
class Bytes {
  public:
    Bytes& u8(std::uint8_t v) {
        out.push_back(v);
        return *this;
    }
    Bytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& u64(std::uint64_t v) { return u32(v & 0xFFFFFFFFu).u32(v >> 32); }
    Bytes& f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        return u64(bits);
    }
    Bytes& raw(const std::vector<std::uint8_t>& bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes& text(const char* s) {
        while (*s)
            u8(static_cast<std::uint8_t>(*s++));
        return *this;
    }
    std::vector<std::uint8_t> out;
};

// N bytes: `text`, a terminator, then `fill` up to the end.
std::vector<std::uint8_t> field(std::size_t n, const char* text, std::uint8_t fill) {
    std::vector<std::uint8_t> bytes(n, fill);
    std::size_t length = std::strlen(text);
    std::memcpy(bytes.data(), text, length);
    bytes[length] = 0;
    return bytes;
}

template <std::size_t N> void put(char (&target)[N], const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(bytes.size(), N);
    std::memcpy(target, bytes.data(), N);
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::vector<std::uint8_t> imageOfNewFile() {
    Document doc;
    documentInit(doc);
    createAccount(doc, "Compte courant", 250.0);
    addDefaultUser(doc);
    addDefaultModes(doc);
    addDefaultCategories(doc);
    return serializeDocument(doc);
}

// --- Sizes and offsets --------------------------------------------------------

TEST(AccountFileLayout, EmptyDocumentSize) {
    Document doc;
    documentInit(doc);
    for (int i = 0; i < 2; ++i)
        doc.users.appendEmpty();
    for (int i = 0; i < 3; ++i)
        doc.modes.append(ModeRecord{});
    for (int i = 0; i < 5; ++i)
        doc.categories.append(CategoryRecord{});
    // 8 + 1 + 4 + 76*2 + 4 + 36*3 + 4 + 36*5 + 64 + 4 + 4 + 4 + 4 + 4
    EXPECT_EQ(serializeDocument(doc).size(), 545u);
    EXPECT_EQ(documentFileSize(doc), 545u);

    Document defaults;
    documentInit(defaults);
    addDefaultUser(defaults);
    addDefaultModes(defaults);
    addDefaultCategories(defaults);
    // 8 + 1 + 4 + 76 + 4 + 360 + 4 + 2592 + 64 + 4 + 4 + 4 + 4 + 4
    EXPECT_EQ(serializeDocument(defaults).size(), 3133u);

    Document nothing;
    documentInit(nothing);
    EXPECT_EQ(serializeDocument(nothing).size(), 8u + 1 + 4 * 3 + 64 + 4 * 5);
}

TEST(AccountFileLayout, NewFileIsMagicFlagOneUserTenModesSeventyTwoCategoriesOneAccount) {
    const std::vector<std::uint8_t> image = imageOfNewFile();
    // 8+1+4+76+4+360+4+2592+64+4+4+4+(568+8)+4+4+120
    ASSERT_EQ(image.size(), 3829u);
    EXPECT_EQ(std::memcmp(image.data(), "Kolvane ", 8), 0);
    EXPECT_EQ(image[8], 1);
    EXPECT_EQ(le32(image, 9), 1u); // users
    EXPECT_EQ(std::memcmp(&image[13], "Nouvel utilisateur", 19), 0);
    EXPECT_EQ(le32(image, 13 + 68), 1u); // the user's id
    EXPECT_EQ(le32(image, 89), 10u);     // modes
    EXPECT_EQ(std::memcmp(&image[93], "DEBIT", 6), 0);
    EXPECT_EQ(le32(image, 453), 72u); // categories
    EXPECT_EQ(std::memcmp(&image[457], "Alimentation", 13), 0);
    for (std::size_t i = 3049; i < 3113; ++i)
        ASSERT_EQ(image[i], 0) << "reserved block byte " << i;
    EXPECT_EQ(le32(image, 3113), 0u); // labels
    EXPECT_EQ(le32(image, 3117), 0u); // reserved records
    EXPECT_EQ(le32(image, 3121), 1u); // accounts
    EXPECT_EQ(std::memcmp(&image[3125], "Compte courant", 15), 0);
    EXPECT_EQ(le32(image, 3125 + 552), 0x080000u); // account id
    EXPECT_EQ(le32(image, 3693), 0u);              // no logo pixels
    EXPECT_EQ(le32(image, 3697), 0u);              // no logo mask
    EXPECT_EQ(le32(image, 3701), 0u);              // third parties
    EXPECT_EQ(le32(image, 3705), 1u);              // operations
    EXPECT_EQ(le32(image, 3709), 0x080000u);
    EXPECT_EQ(le32(image, 3709 + 4), 0x100000u);
    EXPECT_EQ(std::memcmp(&image[3709 + 72], "Solde initial", 14), 0);
    EXPECT_EQ(le32(image, 3709 + 112), 0u); // no lines
}

TEST(AccountFileLayout, FlagByteFollowsAlerts) {
    Document doc;
    documentInit(doc);
    doc.alertsEnabled = 0;
    EXPECT_EQ(serializeDocument(doc)[8], 0);
    doc.alertsEnabled = 7;
    EXPECT_EQ(serializeDocument(doc)[8], 1);
}

// --- What an independent writer makes ----------------------------------------

TEST(AccountFileLayout, EveryRecordKindIsWrittenFieldByField) {
    Document doc;
    documentInit(doc);
    doc.alertsEnabled = 1;

    UserRecord user{};
    put(user.name, field(40, "Jos\xE9", 'u'));
    put(user.password, field(24, "k3y", 'p'));
    user.passwordKey = 0x01020304;
    user.id = 3;
    user.flags = 0x80000000u;
    doc.users.append(user);

    ModeRecord mode{};
    put(mode.name, field(32, "Tip", 'm'));
    mode.id = 0x8005;
    mode.kind = 1;
    doc.modes.append(mode);

    CategoryRecord category{};
    put(category.name, field(32, "Loyer", 'c'));
    category.id = 0x0101;
    category.shown = 0;
    doc.categories.append(category);

    LabelRecord label{};
    put(label.text, field(40, "Boulangerie", 'l'));
    label.categoryId = 0x010003;
    doc.labels.append(label);

    ReservedRecord reserved{};
    for (int i = 0; i < 88; ++i)
        reserved.bytes[i] = static_cast<std::uint8_t>(i * 3);
    doc.reserved.append(reserved);

    AccountRecord* account = doc.accounts.appendEmpty();
    put(account->name, field(40, "Livret A", 'n'));
    put(account->webAddress, field(128, "https://banque.example/", 'w'));
    put(account->holderName, field(32, "Durand", 'h'));
    put(account->holderFirstNames, field(32, "Ana\xEFs", 'f'));
    put(account->address, field(40, "3 rue Haute", 'a'));
    put(account->addressComplement, field(40, "B\xE2t. C", 'b'));
    put(account->city, field(32,
                             "Orl\xE9"
                             "ans",
                             'v'));
    put(account->postCode, field(6, "45000", 'z'));
    account->civility = 4;
    put(account->ribKey, field(3, "97", 'r'));
    put(account->bankCode, field(6, "30004", 'k'));
    put(account->branchCode, field(6, "00123", 'g'));
    put(account->bankName, field(40, "Banque du Centre", 'e'));
    put(account->accountNumber, field(12, "0001234567", 'x'));
    put(account->domiciliation, field(32,
                                      "Orl\xE9"
                                      "ans Centre",
                                      'd'));
    put(account->bic, field(32, "BQCEFRPP", 'i'));
    put(account->phone, field(16, "0238000000", 't'));
    std::memcpy(account->reserved498, "\x11\x12\x13\x14\x15\x16", 6);
    account->initialBalance = 1500.25;
    account->minimumAllowed = -300.0;
    account->minimumWanted = 100.5;
    account->balance = 1234.56;
    account->pointedBalance = -0.01;
    account->operationCount = 17;
    account->reserved548 = 0xA1B2C3D4;
    account->id = 0x080004;
    account->initialOperationId = 9;
    account->initialPointed = 1;
    account->active = 0;
    account->reserved564 = 0x55667788;
    std::vector<std::uint8_t> pixels(kLogoPixelBytes), mask(kLogoMaskBytes);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 7 + 1);
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<std::uint8_t>(0xFF - i);
    account->logoPixels = static_cast<std::uint8_t*>(std::malloc(kLogoPixelBytes));
    account->logoMask = static_cast<std::uint8_t*>(std::malloc(kLogoMaskBytes));
    std::memcpy(account->logoPixels, pixels.data(), kLogoPixelBytes);
    std::memcpy(account->logoMask, mask.data(), kLogoMaskBytes);

    ThirdRecord third{};
    put(third.name, field(40, "EDF", 'q'));
    third.id = 0x040002;
    third.reserved44 = 0x0BADF00D;
    third.initialBalance = -20.0;
    third.balance = 42.75;
    third.initialOperationId = 10;
    third.operationCount = 3;
    put(third.note, field(128, "Contrat\r\n2024", 'o'));
    third.reserved200 = 0xBEEF;
    third.active = 1;
    third.reserved204 = 0xCAFEBABE;
    doc.thirds.append(third);

    OperationRecord operation{};
    operation.partyId = 0x080004;
    operation.counterpartyId = Split;
    operation.amount = -75.5;
    operation.balanceAfterParty = 1159.06;
    operation.balanceAfterCounterparty = 3.25;
    operation.entryDate = 0x01D9000011112222ull;
    operation.modifiedDate = 0x01D9000033334444ull;
    operation.operationDate = 0x01D9000055556666ull;
    operation.creatorUserId = 3;
    operation.modifierUserId = 5;
    operation.id = 11;
    operation.modeId = 0x0002;
    operation.pointed = 1;
    put(operation.label, field(40, "Courses", 's'));
    OperationRecord* split = doc.operations.append(operation);
    split->lines = new OperationList;
    OperationRecord line = operation;
    line.partyId = Split;
    line.counterpartyId = 0x010001;
    line.amount = -50.0;
    line.lineCount = 0;
    line.lines = nullptr;
    split->lines->append(line);
    line.counterpartyId = 0x040002;
    line.amount = -25.5;
    split->lines->append(line);
    split->lineCount = 2;

    const std::vector<std::uint8_t> image = serializeDocument(doc);

    Bytes expected;
    expected.text("Kolvane ").u8(1);
    expected.u32(1)
        .raw(field(40, "Jos\xE9", 'u'))
        .raw(field(24, "k3y", 'p'))
        .u32(0x01020304)
        .u32(3)
        .u32(0x80000000u);
    expected.u32(1).raw(field(32, "Tip", 'm')).u16(0x8005).u16(1);
    expected.u32(1).raw(field(32, "Loyer", 'c')).u16(0x0101).u16(0);
    expected.raw(std::vector<std::uint8_t>(64, 0));
    expected.u32(1).raw(field(40, "Boulangerie", 'l')).u32(0x010003);
    expected.u32(1);
    for (int i = 0; i < 88; ++i)
        expected.u8(static_cast<std::uint8_t>(i * 3));
    const std::size_t accountAt = expected.out.size() + 4;
    expected.u32(1)
        .raw(field(40, "Livret A", 'n'))
        .raw(field(128, "https://banque.example/", 'w'))
        .raw(field(32, "Durand", 'h'))
        .raw(field(32, "Ana\xEFs", 'f'))
        .raw(field(40, "3 rue Haute", 'a'))
        .raw(field(40, "B\xE2t. C", 'b'))
        .raw(field(32,
                   "Orl\xE9"
                   "ans",
                   'v'))
        .raw(field(6, "45000", 'z'))
        .u8(4)
        .raw(field(3, "97", 'r'))
        .raw(field(6, "30004", 'k'))
        .raw(field(6, "00123", 'g'))
        .raw(field(40, "Banque du Centre", 'e'))
        .raw(field(12, "0001234567", 'x'))
        .raw(field(32,
                   "Orl\xE9"
                   "ans Centre",
                   'd'))
        .raw(field(32, "BQCEFRPP", 'i'))
        .raw(field(16, "0238000000", 't'))
        .u8(0x11)
        .u8(0x12)
        .u8(0x13)
        .u8(0x14)
        .u8(0x15)
        .u8(0x16)
        .f64(1500.25)
        .f64(-300.0)
        .f64(100.5)
        .f64(1234.56)
        .f64(-0.01)
        .u32(17)
        .u32(0xA1B2C3D4)
        .u32(0x080004)
        .u32(9)
        .u16(1)
        .u16(0)
        .u32(0x55667788);
    ASSERT_EQ(expected.out.size() - accountAt, 568u);
    expected.u32(13824).raw(pixels).u32(576).raw(mask);
    const std::size_t thirdAt = expected.out.size() + 4;
    expected.u32(1)
        .raw(field(40, "EDF", 'q'))
        .u32(0x040002)
        .u32(0x0BADF00D)
        .f64(-20.0)
        .f64(42.75)
        .u32(10)
        .u32(3)
        .raw(field(128, "Contrat\r\n2024", 'o'))
        .u16(0xBEEF)
        .u16(1)
        .u32(0xCAFEBABE);
    ASSERT_EQ(expected.out.size() - thirdAt, 208u);
    auto operationBytes = [&](PartyId party, PartyId counterparty, double amount,
                              std::uint32_t lineCount) {
        const std::size_t at = expected.out.size();
        expected.u32(party)
            .u32(counterparty)
            .f64(amount)
            .f64(1159.06)
            .f64(3.25)
            .u64(0x01D9000011112222ull)
            .u64(0x01D9000033334444ull)
            .u64(0x01D9000055556666ull)
            .u32(3)
            .u32(5)
            .u32(11)
            .u16(0x0002)
            .u16(1)
            .raw(field(40, "Courses", 's'))
            .u32(lineCount)
            .u32(0); // the lines word means nothing on disk
        ASSERT_EQ(expected.out.size() - at, 120u);
    };
    expected.u32(1);
    operationBytes(0x080004, 0x020000, -75.5, 2);
    operationBytes(0x020000, 0x010001, -50.0, 0);
    operationBytes(0x020000, 0x040002, -25.5, 0);

    ASSERT_EQ(image.size(), expected.out.size());
    for (std::size_t i = 0; i < image.size(); ++i)
        ASSERT_EQ(image[i], expected.out[i]) << "first difference at byte " << i;

    // And the reader takes the hand-made bytes back to the same records.
    Document loaded;
    documentInit(loaded);
    ASSERT_EQ(loadDocumentFromBytes(loaded, expected.out), LoadStatus::Ok);
    expectSameRecords(doc, loaded);
}

// --- Round trips ----------------------------------------------------------------

TEST(AccountFileRoundTrip, SaveThenLoadGivesEveryByteBack) {
    Document doc;
    buildRichDocument(doc, 7);
    TemporaryFolder folder;
    const std::string path = folder.file("riche.kvn");
    ASSERT_EQ(saveDocument(doc, path), 1);
    EXPECT_EQ(readFile(path), serializeDocument(doc));

    Document loaded;
    documentInit(loaded);
    ASSERT_EQ(loadDocument(loaded, path), 1);
    expectSameRecords(doc, loaded);
    EXPECT_EQ(loaded.alertsEnabled, 0u);
    EXPECT_EQ(loaded.filePath, path);
    EXPECT_EQ(loaded.isOpen, 1u);
    EXPECT_EQ(loaded.isModified, 0u);
    EXPECT_EQ(loaded.currentAccount, loaded.accounts.first());
    EXPECT_EQ(loaded.currentUser, nullptr);
    for (const AccountRecord& account : loaded.accounts) {
        EXPECT_EQ(account.logoBitmap, nullptr);
        EXPECT_EQ(account.logoMaskBitmap, nullptr);
    }
    EXPECT_EQ(serializeDocument(loaded), serializeDocument(doc));
}

TEST(AccountFileRoundTrip, SplitWithThreeLinesComesBackWithThreeLines) {
    Document doc;
    buildRichDocument(doc);
    Document loaded;
    documentInit(loaded);
    ASSERT_EQ(loadDocumentFromBytes(loaded, serializeDocument(doc)), LoadStatus::Ok);
    const OperationRecord* split = findOperationById(loaded, 4);
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->counterpartyId, static_cast<PartyId>(Split));
    EXPECT_EQ(split->lineCount, 3u);
    ASSERT_NE(split->lines, nullptr);
    EXPECT_EQ(split->lines->count(), 3);
    for (const VentilationLine& line : *split->lines) {
        EXPECT_EQ(line.lines, nullptr);
        EXPECT_EQ(line.lineCount, 0u);
    }
    // Operations without lines get no list.
    EXPECT_EQ(findOperationById(loaded, 3)->lines, nullptr);
    EXPECT_EQ(loaded.operations.count(), 8);
}

TEST(AccountFileRoundTrip, LinesListIsWhatDecidesTheLineCount) {
    // An operation whose count says 2 but has no list has nothing to write.
    Document doc;
    documentInit(doc);
    OperationRecord* waiting = doc.operations.appendEmpty();
    waiting->counterpartyId = Split;
    waiting->lineCount = 2;
    Document loaded;
    documentInit(loaded);
    ASSERT_EQ(loadDocumentFromBytes(loaded, serializeDocument(doc)), LoadStatus::Ok);
    EXPECT_EQ(loaded.operations.first()->lineCount, 0u);
    EXPECT_EQ(loaded.operations.first()->lines, nullptr);
}

// --- Counters rebuilt by a load ----------------------------------------------

std::vector<std::uint8_t> imageWith(const std::vector<std::uint16_t>& accountNumbers,
                                    const std::vector<std::uint16_t>& thirdNumbers,
                                    const std::vector<std::uint32_t>& operationIds) {
    Document doc;
    documentInit(doc);
    for (std::uint16_t number : accountNumbers)
        doc.accounts.appendEmpty()->id = makePartyId(Account, number);
    for (std::uint16_t number : thirdNumbers) {
        ThirdRecord third{};
        third.id = makePartyId(Third, number);
        doc.thirds.append(third);
    }
    for (std::uint32_t id : operationIds)
        doc.operations.appendEmpty()->id = id;
    return serializeDocument(doc);
}

struct Counters {
    std::uint16_t accounts;
    std::uint16_t thirds;
    std::uint32_t operations;
};

Counters countersAfterLoading(const std::vector<std::uint8_t>& image) {
    Document doc;
    documentInit(doc);
    EXPECT_EQ(loadDocumentFromBytes(doc, image), LoadStatus::Ok);
    return {doc.nextAccountNumber, doc.nextThirdNumber, doc.nextOperationId};
}

TEST(AccountFileCounters, LargestNumberPlusOne) {
    Counters c = countersAfterLoading(imageWith({0, 5, 2}, {3, 1}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(c.accounts, 6);
    EXPECT_EQ(c.thirds, 4);
    EXPECT_EQ(c.operations, 10u);
    Counters empty = countersAfterLoading(imageWith({}, {}, {}));
    EXPECT_EQ(empty.accounts, 0);
    EXPECT_EQ(empty.thirds, 0);
    EXPECT_EQ(empty.operations, 0u);
    Counters unordered = countersAfterLoading(imageWith({}, {}, {7, 2, 30, 4}));
    EXPECT_EQ(unordered.operations, 31u);
}

TEST(AccountFileCounters, NumberFFFFWrapsInSixteenBits) {
    // 0xFFFF + 1 is computed in 32 bits (0x10000) and kept in 16 (0).
    EXPECT_EQ(countersAfterLoading(imageWith({0xFFFF}, {}, {})).accounts, 0);
    EXPECT_EQ(countersAfterLoading(imageWith({3, 0xFFFF}, {}, {})).accounts, 0);
    // After the wrap a later account raises the counter again from 0.
    EXPECT_EQ(countersAfterLoading(imageWith({0xFFFF, 3}, {}, {})).accounts, 4);
    EXPECT_EQ(countersAfterLoading(imageWith({}, {0xFFFF}, {})).thirds, 0);
    EXPECT_EQ(countersAfterLoading(imageWith({}, {0xFFFE}, {})).thirds, 0xFFFF);
}

// --- Refused files ------------------------------------------------------------

TEST(AccountFileMagic, AnyOtherFirstEightBytesAreRefused) {
    const std::vector<std::uint8_t> good = imageOfNewFile();
    for (const char* magic : {"kolvane ", "Kolvane\0", "Kolvane!", "KOLVANE ", " Kolvane"}) {
        std::vector<std::uint8_t> image = good;
        std::memcpy(image.data(), magic, 8);
        Document doc;
        documentInit(doc);
        EXPECT_EQ(loadDocumentFromBytes(doc, image), LoadStatus::NotAnAccountFile) << magic;
        expectEmpty(doc);
    }
    // The magic without its trailing space, the rest shifted one byte back.
    std::vector<std::uint8_t> shifted(good.begin(), good.end());
    shifted.erase(shifted.begin() + 7);
    Document doc;
    documentInit(doc);
    EXPECT_NE(loadDocumentFromBytes(doc, shifted), LoadStatus::Ok);
    expectEmpty(doc);
}

TEST(AccountFileMagic, ShortOrMissingFiles) {
    Document doc;
    documentInit(doc);
    std::vector<std::uint8_t> sevenBytes{'K', 'o', 'l', 'v', 'a', 'n', 'e'};
    EXPECT_EQ(loadDocumentFromBytes(doc, sevenBytes), LoadStatus::NotAnAccountFile);
    EXPECT_EQ(loadDocumentFromBytes(doc, {}), LoadStatus::NotAnAccountFile);
    TemporaryFolder folder;
    EXPECT_EQ(loadDocument(doc, folder.file("absent.kvn")), 0);
    EXPECT_EQ(loadDocument(doc, folder.file("absent.kvn"), platformFileSystem()),
              LoadStatus::CannotOpen);
    EXPECT_EQ(loadDocument(doc, folder.path().string(), platformFileSystem()),
              LoadStatus::CannotOpen);
    expectEmpty(doc);
}

TEST(AccountFileLoad, RefusedLoadKeepsTheSortOrder) {
    Document doc;
    documentInit(doc);
    doc.sortOrder = 0;
    std::vector<std::uint8_t> image = imageOfNewFile();
    image.pop_back();
    EXPECT_EQ(loadDocumentFromBytes(doc, image), LoadStatus::Truncated);
    EXPECT_EQ(doc.sortOrder, 0u);
    expectEmpty(doc);
}

// --- Saving safely -----------------------------------------------------------

const std::string kPath = "C:/Comptes/famille.kvn";

TEST(SaveSafety, FailureAtAnyStepKeepsThePreviousFile) {
    const std::vector<std::uint8_t> previous = imageOfNewFile();
    const std::vector<std::uint8_t> olderBackup{'o', 'l', 'd'};
    for (FailStep step :
         {FailStep::Create, FailStep::Write, FailStep::Flush, FailStep::Close, FailStep::KeepBackup, FailStep::Replace}) {
        SCOPED_TRACE(static_cast<int>(step));
        MemoryFileSystem disk;
        disk.files[kPath] = previous;
        disk.files[kPath + ".bak"] = olderBackup;
        disk.failAt = step;
        Document doc;
        buildRichDocument(doc);
        doc.filePath = "C:/Comptes/ancien.kvn";
        doc.isModified = 1;

        EXPECT_EQ(saveDocument(doc, kPath, disk), 0);
        EXPECT_EQ(disk.files.at(kPath), previous);
        // Nothing but the file and its backup: no temporary left behind.
        EXPECT_EQ(disk.files.size(), 2u);
        const std::vector<std::uint8_t>& backup = disk.files.at(kPath + ".bak");
        EXPECT_TRUE(backup == olderBackup || backup == previous);
        EXPECT_EQ(doc.filePath, "C:/Comptes/ancien.kvn");
        EXPECT_EQ(doc.isModified, 1u);
    }
}

TEST(SaveSafety, FirstSaveFailureLeavesNoFileAtAll) {
    for (FailStep step : {FailStep::Create, FailStep::Write, FailStep::Flush, FailStep::Close, FailStep::Replace}) {
        SCOPED_TRACE(static_cast<int>(step));
        MemoryFileSystem disk;
        disk.failAt = step;
        Document doc;
        buildRichDocument(doc);
        doc.isModified = 1;
        EXPECT_EQ(saveDocument(doc, kPath, disk), 0);
        EXPECT_TRUE(disk.files.empty());
        EXPECT_TRUE(doc.filePath.empty());
        EXPECT_EQ(doc.isModified, 1u);
    }
}

TEST(SaveSafety, SuccessKeepsThePreviousVersionAsBackup) {
    MemoryFileSystem disk;
    const std::vector<std::uint8_t> previous = imageOfNewFile();
    disk.files[kPath] = previous;
    Document doc;
    buildRichDocument(doc);
    doc.isModified = 1;
    ASSERT_EQ(saveDocument(doc, kPath, disk), 1);
    EXPECT_EQ(disk.files.at(kPath), serializeDocument(doc));
    EXPECT_EQ(disk.files.at(kPath + ".bak"), previous);
    EXPECT_EQ(disk.files.size(), 2u);
    EXPECT_EQ(doc.filePath, kPath);
    EXPECT_EQ(doc.isModified, 0u);

    // A first save makes no backup.
    MemoryFileSystem empty;
    ASSERT_EQ(saveDocument(doc, kPath, empty), 1);
    EXPECT_EQ(empty.files.size(), 1u);
}

TEST(SaveSafety, OnTheRealDisk) {
    TemporaryFolder folder;
    const std::string path = folder.file("compte.kvn");
    Document first;
    documentInit(first);
    createAccount(first, "Premier", 1.0);
    addDefaultUser(first);
    ASSERT_EQ(saveDocument(first, path), 1);
    const std::vector<std::uint8_t> firstImage = readFile(path);
    EXPECT_EQ(firstImage, serializeDocument(first));

    Document second;
    buildRichDocument(second);
    ASSERT_EQ(saveDocument(second, path), 1);
    EXPECT_EQ(readFile(path), serializeDocument(second));
    EXPECT_EQ(readFile(path + ".bak"), firstImage);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"compte.kvn", "compte.kvn.bak"}));

    // A folder that does not exist: refused, nothing changes.
    second.isModified = 1;
    EXPECT_EQ(saveDocument(second, folder.file("absent/compte.kvn")), 0);
    EXPECT_EQ(second.filePath, path);
    EXPECT_EQ(second.isModified, 1u);
    EXPECT_EQ(saveDocument(second, ""), 0);
}

} // namespace
} // namespace kolvane
