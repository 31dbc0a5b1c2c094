#include "account_file_samples.h"

#include "document/account_file.h"
#include "document/document.h"
#include "document/file_system.h"
#include "document/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvane {
namespace {

using namespace testing_samples;

std::vector<std::uint8_t> imageOfNewFile() {
    Document doc;
    documentInit(doc);
    EXPECT_TRUE(createAccount(doc, "Compte courant", 250.0));
    EXPECT_TRUE(addDefaultUser(doc));
    EXPECT_TRUE(addDefaultModes(doc));
    EXPECT_TRUE(addDefaultCategories(doc));
    return serializeDocument(doc);
}

// --- Round trips ----------------------------------------------------------------

TEST(AccountFileRoundTrip, SaveThenLoadGivesEveryByteBack) {
    Document doc;
    buildRichDocument(doc, 7);
    TemporaryFolder folder;
    const std::string path = folder.file("riche.kvn");
    writeFile(path, {'o', 'l', 'd'});
    ASSERT_EQ(saveDocument(doc, path), 1);
    EXPECT_EQ(readFile(path), serializeDocument(doc));
    EXPECT_EQ(readFile(path + ".bak"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
    EXPECT_EQ(doc.filePath, path);
    EXPECT_EQ(doc.isModified, 0u);
    // No name at all is refused before anything is tried.
    doc.isModified = 1;
    EXPECT_EQ(saveDocument(doc, ""), 0);
    EXPECT_EQ(doc.filePath, path);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(documentFileSize(doc), readFile(path).size()); // lines and logos counted

    Document loaded;
    documentInit(loaded);
    std::uint64_t lines = 99;
    ASSERT_EQ(loadDocument(loaded, path, platformFileSystem(), &lines), LoadStatus::Ok);
    EXPECT_EQ(lines, 4u); // three and one
    expectSameRecords(doc, loaded);
    EXPECT_EQ(loaded.alertsEnabled, 0u);
    EXPECT_EQ(loaded.filePath, path);
    EXPECT_EQ(loaded.isOpen, 1u);
    EXPECT_EQ(loaded.isModified, 0u);
    EXPECT_EQ(loaded.currentAccount, loaded.accounts.first());
    EXPECT_EQ(loaded.currentUser, nullptr);
    EXPECT_EQ(serializeDocument(loaded), serializeDocument(doc));
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
        EXPECT_EQ(loaded.nextAccountNumber, c.nextAccount);
        EXPECT_EQ(loaded.nextThirdNumber, c.nextThird);
        EXPECT_EQ(loaded.nextOperationId, c.nextOperation);
    }
}

// --- Refused files (damaged ones: file_robustness_test.cpp) ---------------------

TEST(AccountFileStatus, EachRefusalSaysWhy) {
    const std::vector<std::uint8_t> good = imageOfNewFile();
    Document doc;
    documentInit(doc);
    doc.sortOrder = 0;
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
