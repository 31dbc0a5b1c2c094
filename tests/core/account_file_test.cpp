#include "account_file_samples.h"

#include "document/account_file.h"
#include "document/document.h"
#include "document/file_system.h"
#include "document/generator.h"
#include "document/text.h"

#include "memory_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
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

std::vector<std::uint8_t> imageOfNewFile() {
    Document doc;
    documentInit(doc);
    EXPECT_TRUE(createAccount(doc, "Compte courant", 250.0));
    EXPECT_TRUE(addDefaultUser(doc));
    EXPECT_TRUE(addDefaultModes(doc));
    EXPECT_TRUE(addDefaultCategories(doc));
    return serializeDocument(doc);
}

// --- Sizes and offsets --------------------------------------------------------

TEST(AccountFileLayout, EmptyDocumentSizeAndFlagByte) {
    Document doc;
    documentInit(doc);
    for (int i = 0; i < 2; ++i)
        doc.users.appendEmpty();
    for (int i = 0; i < 3; ++i)
        doc.modes.append(ModeRecord{});
    for (int i = 0; i < 5; ++i)
        doc.categories.append(CategoryRecord{});
    // 8 + 1 + 4 + 76*2 + 4 + 36*3 + 4 + 36*5 + 64 + 4 + 4 + 4 + 4 + 4
    EXPECT_EQ(
        std::tuple(serializeDocument(doc).size(), documentFileSize(doc), serializeDocument(doc)[8]),
        std::tuple(545u, 545u, 1));
    doc.alertsEnabled = 0;
    EXPECT_EQ(serializeDocument(doc)[8], 0);
    doc.alertsEnabled = 7;
    EXPECT_EQ(serializeDocument(doc)[8], 1);
}

// --- What an independent writer makes ----------------------------------------

// One record of every kind written here from the layout, texts followed by
// slack bytes. The reader must put each value in its named field, and the
// writer must give back the very same bytes.
TEST(AccountFileLayout, EveryRecordKindIsReadAndWrittenFieldByField) {
    Bytes f;
    f.text("Kolvane ").u8(1);
    f.u32(1).raw(field(40, "Jos\xE9", 'u')).raw(field(24, "k3y", 'p'));
    f.u32(0x01020304).u32(3).u32(0x80000000u);
    f.u32(1).raw(field(32, "Tip", 'm')).u16(0x8005).u16(1);
    f.u32(1).raw(field(32, "Loyer", 'c')).u16(0x0101).u16(0);
    f.raw(std::vector<std::uint8_t>(64, 0));
    f.u32(1).raw(field(40, "Boulangerie", 'l')).u32(0x010003);
    f.u32(1);
    for (int i = 0; i < 88; ++i)
        f.u8(static_cast<std::uint8_t>(i * 3));
    f.u32(1);
    const std::size_t accountAt = f.out.size();
    const std::pair<std::size_t, const char*> before350[] = {{40, "Livret A"},
                                                             {128, "https://banque.example/"},
                                                             {32, "Durand"},
                                                             {32, "Ana\xEFs"},
                                                             {40, "3 rue Haute"},
                                                             {40, "B\xE2t. C"},
                                                             {32, "Orl\xE9"
                                                                  "ans"},
                                                             {6, "45000"}};
    const std::pair<std::size_t, const char*> after350[] = {
        {3, "97"},          {6, "30004"},     {6, "00123"},     {40, "Banque du Centre"},
        {12, "0001234567"}, {32, "Domicile"}, {32, "BQCEFRPP"}, {16, "0238000000"}};
    std::uint8_t fill = 'a';
    for (const auto& [size, text] : before350)
        f.raw(field(size, text, fill++));
    f.u8(4);
    for (const auto& [size, text] : after350)
        f.raw(field(size, text, fill++));
    f.raw({0x11, 0x12, 0x13, 0x14, 0x15, 0x16});
    f.f64(1500.25).f64(-300.0).f64(100.5).f64(1234.56).f64(-0.01);
    f.u32(17).u32(0xA1B2C3D4).u32(0x080004).u32(9).u16(1).u16(0).u32(0x55667788);
    ASSERT_EQ(f.out.size() - accountAt, 568u);
    std::vector<std::uint8_t> pixels(kLogoPixelBytes), mask(kLogoMaskBytes);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 7 + 1);
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<std::uint8_t>(0xFF - i);
    f.u32(13824).raw(pixels).u32(576).raw(mask);
    f.u32(1).raw(field(40, "EDF", 'q')).u32(0x040002).u32(0x0BADF00D).f64(-20.0).f64(42.75);
    f.u32(10).u32(3).raw(field(128, "Contrat\r\n2024", 'o')).u16(0xBEEF).u16(1).u32(0xCAFEBABE);
    f.u32(1);
    // The split operation and its two lines; the lines word means nothing on disk.
    for (auto [party, counterparty, amount, lines] :
         {std::tuple{0x080004u, 0x020000u, -75.5, 2u}, std::tuple{0x020000u, 0x010001u, -50.0, 0u},
          std::tuple{0x020000u, 0x040002u, -25.5, 0u}}) {
        f.u32(party).u32(counterparty).f64(amount).f64(1159.06).f64(3.25);
        f.u64(0x01D9000011112222ull).u64(0x01D9000033334444ull).u64(0x01D9000055556666ull);
        f.u32(3).u32(5).u32(11).u16(0x0002).u16(1).raw(field(40, "Courses", 's'));
        f.u32(lines).u32(0);
    }

    Document doc;
    documentInit(doc);
    ASSERT_EQ(loadDocumentFromBytes(doc, f.out), LoadStatus::Ok);
    EXPECT_EQ(serializeDocument(doc), f.out);

    // Every field of every kind is compared through the dump by
    // tests/tools/check_independent_writer.py; here, fields beside each
    // width change and the bytes that are not text.
    const UserRecord& user = *doc.users.first();
    EXPECT_STREQ(user.password, "k3y");
    EXPECT_EQ(std::tuple(user.passwordKey, doc.modes.first()->id, doc.categories.first()->shown,
                         doc.labels.first()->categoryId, doc.reserved.first()->bytes[87]),
              std::tuple(0x01020304u, 0x8005, 0, 0x010003u, static_cast<std::uint8_t>(87 * 3)));
    const AccountRecord& account = *doc.accounts.first();
    EXPECT_STREQ(account.postCode, "45000");
    EXPECT_EQ(account.civility, 4);
    EXPECT_STREQ(account.ribKey, "97");
    EXPECT_EQ(std::tuple(account.reserved498[5], account.initialBalance, account.pointedBalance,
                         account.reserved548),
              std::tuple(0x16, 1500.25, -0.01, 0xA1B2C3D4u));
    EXPECT_EQ(std::tuple(account.initialPointed, account.active, account.reserved564),
              std::tuple(1, 0, 0x55667788u));
    const Logo* logo = accountLogo(doc, account);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(std::tuple(logo->pixels, logo->mask), std::tuple(pixels, mask));
    const ThirdRecord& third = *doc.thirds.first();
    EXPECT_EQ(third.reserved44, 0x0BADF00Du);
    EXPECT_STREQ(third.note, "Contrat\r\n2024");
    EXPECT_EQ(third.reserved200, 0xBEEF);
    EXPECT_EQ(third.reserved204, 0xCAFEBABEu);
    const OperationRecord& split = *doc.operations.first();
    EXPECT_EQ(std::tuple(split.balanceAfterCounterparty, split.operationDate, split.modeId,
                         split.pointed),
              std::tuple(3.25, 0x01D9000055556666ull, 0x0002, 1));
    ASSERT_EQ(split.lineCount, 2u);
    EXPECT_EQ(split.lines->last()->counterpartyId, 0x040002u);
    EXPECT_EQ(split.lines->last()->amount, -25.5);
}

// --- Round trips ----------------------------------------------------------------

TEST(AccountFileRoundTrip, SaveThenLoadGivesEveryByteBack) {
    Document doc;
    buildRichDocument(doc, 7);
    TemporaryFolder folder;
    const std::string path = folder.file("riche.kvn");
    ASSERT_EQ(saveDocument(doc, path), 1);
    EXPECT_EQ(readFile(path), serializeDocument(doc));
    EXPECT_EQ(documentFileSize(doc), readFile(path).size()); // lines and logos counted

    Document loaded;
    documentInit(loaded);
    ASSERT_EQ(loadDocument(loaded, path), 1);
    expectSameRecords(doc, loaded);
    EXPECT_EQ(std::tuple(loaded.alertsEnabled, loaded.filePath, loaded.isOpen, loaded.isModified),
              std::tuple(0u, path, 1u, 0u));
    EXPECT_EQ(std::tuple(loaded.currentAccount, loaded.currentUser, serializeDocument(loaded)),
              std::tuple(loaded.accounts.first(), nullptr, serializeDocument(doc)));

    // The split saved with three lines comes back with a list of three.
    const OperationRecord* split = findOperationById(loaded, 4);
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->lineCount, 3u);
    ASSERT_NE(split->lines, nullptr);
    EXPECT_EQ(std::tuple(split->lines->count(), split->lines->first()->lines,
                         findOperationById(loaded, 3)->lines),
              std::tuple(3, nullptr, nullptr));
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

TEST(AccountFileCounters, LargestNumberPlusOneInSixteenBits) {
    struct Case {
        std::vector<std::uint16_t> accounts, thirds;
        std::vector<std::uint32_t> operations;
        std::uint16_t nextAccount, nextThird;
        std::uint32_t nextOperation;
    };
    const Case cases[] = {
        {{0, 5, 2}, {3, 1}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 6, 4, 10},
        {{}, {}, {7, 2, 30, 4}, 0, 0, 31},
        // 0xFFFF + 1 is computed in 32 bits and kept in 16: 0; a later
        // account raises the counter again.
        {{3, 0xFFFF}, {0xFFFE}, {}, 0, 0xFFFF, 0},
        {{0xFFFF, 3}, {0xFFFF}, {}, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nextOperation);
        Document doc;
        documentInit(doc);
        for (std::uint16_t number : c.accounts)
            doc.accounts.appendEmpty()->id = makePartyId(Account, number);
        for (std::uint16_t number : c.thirds)
            doc.thirds.appendEmpty()->id = makePartyId(Third, number);
        for (std::uint32_t id : c.operations)
            doc.operations.appendEmpty()->id = id;
        Document loaded;
        documentInit(loaded);
        ASSERT_EQ(loadDocumentFromBytes(loaded, serializeDocument(doc)), LoadStatus::Ok);
        EXPECT_EQ(
            std::tuple(loaded.nextAccountNumber, loaded.nextThirdNumber, loaded.nextOperationId),
            std::tuple(c.nextAccount, c.nextThird, c.nextOperation));
    }
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
        EXPECT_TRUE(isEmpty(doc));
    }
    // The magic without its trailing space, the rest shifted one byte back.
    std::vector<std::uint8_t> shifted = good;
    shifted.erase(shifted.begin() + 7);
    Document doc;
    documentInit(doc);
    doc.sortOrder = 0;
    EXPECT_NE(loadDocumentFromBytes(doc, shifted), LoadStatus::Ok);
    EXPECT_EQ(loadDocumentFromBytes(doc, {good.begin(), good.begin() + 7}),
              LoadStatus::NotAnAccountFile);
    EXPECT_EQ(loadDocumentFromBytes(doc, {good.begin(), good.end() - 1}), LoadStatus::Truncated);
    TemporaryFolder folder;
    EXPECT_EQ(loadDocument(doc, folder.file("absent.kvn")), 0);
    EXPECT_EQ(loadDocument(doc, folder.path().string(), platformFileSystem()),
              LoadStatus::CannotOpen);
    EXPECT_TRUE(isEmpty(doc));
    EXPECT_EQ(doc.sortOrder, 0u); // a refused load changes nothing
}

// --- Saving safely -----------------------------------------------------------

const std::string kPath = "C:/Comptes/famille.kvn";

TEST(SaveSafety, FailureAtAnyStepKeepsThePreviousFile) {
    const std::vector<std::uint8_t> previous = imageOfNewFile();
    const std::vector<std::uint8_t> olderBackup{'o', 'l', 'd'};
    for (bool firstSave : {false, true}) {
        for (FailStep step : {FailStep::Create, FailStep::Write, FailStep::Flush, FailStep::Close,
                              FailStep::KeepBackup, FailStep::Replace}) {
            if (firstSave && step == FailStep::KeepBackup)
                continue; // nothing to keep
            SCOPED_TRACE(static_cast<int>(step) + (firstSave ? 100 : 0));
            MemoryFileSystem disk;
            if (!firstSave) {
                disk.files[kPath] = previous;
                disk.files[kPath + ".bak"] = olderBackup;
            }
            disk.failAt = step;
            Document doc;
            buildRichDocument(doc);
            doc.filePath = "C:/Comptes/ancien.kvn";
            doc.isModified = 1;

            EXPECT_EQ(saveDocument(doc, kPath, disk), 0);
            EXPECT_EQ(doc.filePath, "C:/Comptes/ancien.kvn");
            EXPECT_EQ(doc.isModified, 1u);
            if (firstSave) {
                EXPECT_TRUE(disk.files.empty());
                continue;
            }
            EXPECT_EQ(disk.files.at(kPath), previous);
            // Nothing but the file and its backup: no temporary left behind.
            EXPECT_EQ(disk.files.size(), 2u);
            const std::vector<std::uint8_t>& backup = disk.files.at(kPath + ".bak");
            EXPECT_TRUE(backup == olderBackup || backup == previous);
        }
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
    EXPECT_EQ(std::tuple(disk.files.at(kPath), disk.files.at(kPath + ".bak"), disk.files.size(),
                         doc.filePath, doc.isModified),
              std::tuple(serializeDocument(doc), previous, 2u, kPath, 0u));

    // A first save makes no backup.
    MemoryFileSystem empty;
    ASSERT_EQ(saveDocument(doc, kPath, empty), 1);
    EXPECT_EQ(empty.files.size(), 1u);
}

// Files larger than the one buffer that reads and writes them: records
// straddle its refills, and a read failure halfway leaves nothing.
TEST(SaveSafety, LargeFilesGoThroughOneBufferBothWays) {
    Document doc;
    documentInit(doc);
    ASSERT_EQ(generateDocument(doc, {5000, 3, 20, 10, 9}), GeneratorStatus::Ok);
    const std::vector<std::uint8_t> image = serializeDocument(doc);
    ASSERT_GT(image.size(), 2 * kFileChunkBytes);
    MemoryFileSystem disk;
    ASSERT_EQ(saveDocument(doc, kPath, disk), 1);
    EXPECT_EQ(disk.files.at(kPath), image);
    // Whole buffers, not record by record, and never the whole file at once.
    EXPECT_LE(disk.largestWrite, kFileChunkBytes);
    EXPECT_GT(disk.largestWrite, kFileChunkBytes - kAccountFileSize);

    Document loaded;
    documentInit(loaded);
    ASSERT_EQ(loadDocument(loaded, kPath, disk), LoadStatus::Ok);
    EXPECT_EQ(serializeDocument(loaded), image);
    for (std::size_t readable : {std::size_t{0}, kFileChunkBytes + 1000, image.size() - 1}) {
        disk.readableBytes = readable;
        Document failed;
        documentInit(failed);
        EXPECT_EQ(loadDocument(failed, kPath, disk), LoadStatus::CannotOpen) << readable;
        EXPECT_TRUE(isEmpty(failed)) << readable;
    }
}

TEST(SaveSafety, OnTheRealDisk) {
    TemporaryFolder folder;
    const std::string path = folder.file("compte.kvn");
    const std::vector<std::uint8_t> firstImage{'o', 'l', 'd'};
    writeFile(path, firstImage);
    Document doc;
    buildRichDocument(doc);
    ASSERT_EQ(saveDocument(doc, path), 1);
    EXPECT_EQ(readFile(path), serializeDocument(doc));
    EXPECT_EQ(readFile(path + ".bak"), firstImage);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"compte.kvn", "compte.kvn.bak"}));

    // A folder that does not exist: refused, nothing changes.
    doc.isModified = 1;
    EXPECT_EQ(saveDocument(doc, folder.file("absent/compte.kvn")), 0);
    EXPECT_EQ(doc.filePath, path);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(saveDocument(doc, ""), 0);
}

// The system's file layer on a real folder: each step that cannot be done
// says so, in the system's words, and the steps that can are done.
TEST(PlatformFiles, FailedStepsAreToldAndSucceedingOnesDone) {
    TemporaryFolder folder;
    FileSystem& disk = platformFileSystem();
    const std::string file = folder.file("a.kvn");
    const std::string missing = folder.file("absent.kvn");
    const std::string nowhere = folder.file("absent/b.kvn");
    writeFile(file, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const auto toldWhy = [&](bool failed, const char* words) {
        EXPECT_TRUE(failed) << words;
        EXPECT_FALSE(disk.lastError().empty()) << words;
#ifndef _WIN32
        EXPECT_EQ(disk.lastError(), words);
#endif
    };
    toldWhy(disk.open(missing) == nullptr, "No such file or directory");
    toldWhy(disk.open(folder.path().string()) == nullptr, "Is a directory");
    toldWhy(disk.create(nowhere) == nullptr, "No such file or directory");
    toldWhy(!disk.replace(missing, file), "No such file or directory");
    toldWhy(!disk.remove(missing), "No such file or directory");
    EXPECT_FALSE(disk.keepBackup(missing, file + ".bak"));
    EXPECT_TRUE(disk.exists(file));
    EXPECT_FALSE(disk.exists(missing));

    // A file that shrinks after it was opened cannot give what it had.
    std::unique_ptr<InputFile> input = disk.open(file);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->size(), 10u);
    std::uint8_t bytes[10] = {};
    ASSERT_TRUE(input->read(bytes, 4));
    EXPECT_EQ(bytes[3], 4);
    input.reset();
#ifndef _WIN32 // Windows keeps an open file from being cut
    input = disk.open(file);
    writeFile(file, {1, 2, 3, 4, 5});
    toldWhy(!input->read(bytes, 6), "Input/output error");
    input.reset();
#else
    writeFile(file, {1, 2, 3, 4, 5});
#endif

    // Backup, write, replace and remove, each seen on the disk.
    ASSERT_TRUE(disk.keepBackup(file, file + ".bak"));
#ifndef _WIN32 // a hard link where the disk has them, and files as umask allows
    EXPECT_EQ(std::filesystem::hard_link_count(file), 2u);
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_read,
              std::filesystem::perms::owner_read);
#endif
    EXPECT_EQ(readFile(file + ".bak"), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    std::unique_ptr<OutputFile> output = disk.create(missing);
    ASSERT_NE(output, nullptr);
    const std::uint8_t written[] = {7, 8, 9};
    EXPECT_TRUE(output->write(written, 3) && output->flush() && output->close());
    EXPECT_TRUE(output->close()); // twice is harmless
    ASSERT_TRUE(disk.replace(missing, file));
    EXPECT_EQ(readFile(file), (std::vector<std::uint8_t>{7, 8, 9}));
    EXPECT_FALSE(disk.exists(missing));
    EXPECT_TRUE(disk.remove(file + ".bak"));
    EXPECT_FALSE(disk.exists(file + ".bak"));
}

} // namespace
} // namespace kolvane
