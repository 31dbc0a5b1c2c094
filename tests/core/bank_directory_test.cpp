#include "accounts/bank_directory.h"

#include "document/text.h"

#include "account_file_samples.h"
#include "memory_file_system.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kolvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// --- File images built by hand ------------------------------------------------

void put(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void putInt32(Bytes& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    out.push_back(std::uint8_t(bits));
    out.push_back(std::uint8_t(bits >> 8));
    out.push_back(std::uint8_t(bits >> 16));
    out.push_back(std::uint8_t(bits >> 24));
}

// One 14 568-byte record: the text, a terminator, then `filler` up to the end
// of each array; pixels all `pixel`, mask all `mask`.
void putRecord(Bytes& out, std::string_view name, std::string_view web, std::uint8_t pixel = 0x11,
               std::uint8_t mask = 0x0F, char filler = '\0') {
    const auto field = [&](std::string_view text, std::size_t size) {
        put(out, text);
        out.push_back(0);
        out.insert(out.end(), size - text.size() - 1, std::uint8_t(filler));
    };
    field(name, 40);
    field(web, 128);
    out.insert(out.end(), 13824, pixel);
    out.insert(out.end(), 576, mask);
}

Bytes header(std::int32_t count, std::string_view magic = "KolvaKVB") {
    Bytes out;
    put(out, magic);
    putInt32(out, count);
    return out;
}

// A directory that already holds something, to see that loads start afresh.
void fillWithOne(BankDirectory& directory) {
    Bytes image = header(1);
    putRecord(image, "Ancienne", "x");
    ASSERT_TRUE(parseBankDirectory(directory, image));
    ASSERT_EQ(directory.count(), 1);
}

std::string nameOf(const BankRecord& bank) {
    return std::string(fieldText(bank.name));
}

// --- Reading the file -----------------------------------------------------------

TEST(BankDirectoryFile, RefusedFilesLeaveTheDirectoryEmpty) {
    struct Case {
        const char* why;
        Bytes image;
        bool result = false;
    };
    std::vector<Case> cases;
    cases.push_back({"magic and zero count: an empty directory", header(0), true});
    cases.push_back({"wrong magic", header(0, "KolvaKVb")});
    cases.push_back({"shorter than its header", Bytes{'K', 'o', 'l', 'v', 'a', 'K', 'V', 'B', 0}});
    {
        Bytes image = header(1);
        putRecord(image, "Une", "u");
        image.pop_back();
        cases.push_back({"last record one byte short", image});
    }
    {
        Bytes image = header(1);
        putRecord(image, "Une", "u");
        image.push_back(0);
        cases.push_back({"a byte after the last record", image});
    }
    cases.push_back({"negative count", header(-1)});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        BankDirectory directory;
        fillWithOne(directory);
        EXPECT_EQ(parseBankDirectory(directory, c.image), c.result);
        EXPECT_EQ(directory.count(), 0);
    }
    BankDirectory directory;
    fillWithOne(directory);
    MemoryFileSystem fs;
    EXPECT_FALSE(loadBankDirectory(directory, "nowhere.kvb", fs));
    EXPECT_EQ(directory.count(), 0);
}

TEST(BankDirectoryFile, ANameFillingItsWholeArrayIsCutToEndInside) {
    Bytes image = header(1);
    putRecord(image, "x", "y");
    std::memset(image.data() + 12, 'N', 40); // no terminator in the name
    BankDirectory directory;
    ASSERT_TRUE(parseBankDirectory(directory, image));
    EXPECT_EQ(nameOf(*directory.first()), std::string(39, 'N'));
    freeBankDirectory(directory);
}

// --- Writing the file ------------------------------------------------------------

TEST(BankDirectoryFile, SaveThenLoadKeepsEveryByte) {
    Bytes image = header(2);
    putRecord(image, utf8ToCp1252("Société Test"), "https://s.example", 0x01, 0x80, '#');
    putRecord(image, "B", "", 0xFE, 0x7F, '\x7F');
    BankDirectory directory;
    ASSERT_TRUE(parseBankDirectory(directory, image));
    ASSERT_EQ(directory.count(), 2);
    const BankRecord& first = *directory.first();
    EXPECT_EQ(nameOf(first), utf8ToCp1252("Société Test"));
    EXPECT_EQ(first.name[39], '#'); // bytes after the terminator are kept
    EXPECT_EQ(fieldText(first.webAddress), "https://s.example");
    EXPECT_EQ(bankLogo(directory, first)->pixels[13823], 0x01);
    EXPECT_EQ(bankLogo(directory, first)->mask[0], 0x80);
    EXPECT_EQ(bankLogo(directory, *directory.next(&first))->mask[575], 0x7F);

    MemoryFileSystem fs;
    ASSERT_TRUE(saveBankDirectory(directory, "/dir/etabid.kvb", fs));
    EXPECT_EQ(fs.files.size(), 1u); // no temporary file left
    EXPECT_EQ(fs.files["/dir/etabid.kvb"], image);

    // A failed save leaves the old file and no temporary.
    Bytes old = header(1);
    putRecord(old, "Ancienne", "https://old.example");
    for (FailStep step : {FailStep::Create, FailStep::Write, FailStep::Replace}) {
        SCOPED_TRACE(static_cast<int>(step));
        MemoryFileSystem failing;
        failing.files["etabid.kvb"] = old;
        failing.failAt = step;
        EXPECT_FALSE(saveBankDirectory(directory, "etabid.kvb", failing));
        EXPECT_EQ(failing.files["etabid.kvb"], old);
        EXPECT_EQ(failing.files.count("etabid.kvb.tmp"), 0u);
    }
    freeBankDirectory(directory);
}

// --- The bank list of the account dialog ---------------------------------------

// An account of the document with a bank and, when `logoByte` is nonzero, a logo
// whose every byte is `logoByte`.
AccountRecord* addAccount(Document& doc, std::uint16_t number, std::string_view bankUtf8,
                          std::string_view web, std::uint8_t logoByte) {
    AccountRecord* account = doc.accounts.appendEmpty();
    account->id = makePartyId(Account, number);
    account->active = 1;
    setFieldUtf8(account->bankName, bankUtf8);
    setFieldText(account->webAddress, web);
    if (logoByte)
        account->logo = doc.logos.add(std::vector<std::uint8_t>(13824, logoByte),
                                      std::vector<std::uint8_t>(576, logoByte));
    return account;
}

std::vector<std::string> namesOf(const std::vector<BankRecord*>& rows) {
    std::vector<std::string> names;
    for (const BankRecord* bank : rows)
        names.push_back(cp1252ToUtf8(fieldText(bank->name)));
    return names;
}

// A bank known only from accounts is added once, with the data of the first
// account (masked or not, never deleted) that has both a bank name and a logo.
TEST(BankList, AccountsBanksAreMergedOnceWithTheFirstAccountsData) {
    Document doc;
    addAccount(doc, 0, "Banque Absente", "https://first.example", 0x31);
    addAccount(doc, 1, "BANQUE ABSENTE", "https://second.example", 0x32);
    addAccount(doc, 2, "crédit du sud", "https://other.example", 0x33); // the directory has it
    addAccount(doc, 3, "", "https://noname.example", 0x34);             // no bank name
    addAccount(doc, 4, "Sans Logo", "https://nologo.example", 0);       // no logo
    addAccount(doc, 5, "Masquée", "https://masked.example", 0x35)->active = 0;
    addAccount(doc, 6, "Effacée", "https://gone.example", 0x36)->id = DeletedAccount;
    BankDirectory directory;
    Bytes image = header(2);
    putRecord(image, "Banque du Nord", "https://nord.example");
    putRecord(image, utf8ToCp1252("CRÉDIT DU SUD"), "https://sud.example");
    ASSERT_TRUE(parseBankDirectory(directory, image));

    const std::vector<std::string> expected = {"Banque Absente", "Banque du Nord", "CRÉDIT DU SUD",
                                               "Masquée"};
    EXPECT_EQ(namesOf(bankListRows(directory, doc)), expected);
    ASSERT_EQ(directory.count(), 4);
    EXPECT_EQ(fieldText(bankAt(directory, 1)->webAddress), "https://sud.example");
    const BankRecord& merged = *bankAt(directory, 2);
    EXPECT_EQ(fieldText(merged.name), "Banque Absente");
    EXPECT_EQ(fieldText(merged.webAddress), "https://first.example");
    ASSERT_NE(bankLogo(directory, merged), nullptr);
    EXPECT_EQ(bankLogo(directory, merged)->pixels[13823], 0x31);

    // Filling the list again merges nothing more.
    EXPECT_EQ(namesOf(bankListRows(directory, doc)), expected);
    EXPECT_EQ(directory.count(), 4);
    freeBankDirectory(directory);
}

TEST(BankList, RowsAreSortedWithoutRegardToCaseOrAccents) {
    BankDirectory directory;
    for (const char* name : {"Zeta", "Credo", "crédit b", "alpha", "Écureuil"})
        setFieldUtf8(directory.appendEmpty()->name, name);
    Document doc;
    EXPECT_EQ(namesOf(bankListRows(directory, doc)),
              (std::vector<std::string>{"alpha", "crédit b", "Credo", "Écureuil", "Zeta"}));
}

// --- The "Nouvelle banque" dialog's decisions -----------------------------------

TEST(NewBank, ReplacingInAnotherCaseKeepsThePositionANewNameIsAppended) {
    Bytes image = header(3);
    putRecord(image, "Premier", "https://1.example", 0x01, 0x01, '!');
    putRecord(image, "Banque Test", "https://2.example", 0x02, 0x02, '!');
    putRecord(image, "Dernier", "https://3.example", 0x03, 0x03, '!');
    BankDirectory directory;
    ASSERT_TRUE(parseBankDirectory(directory, image));

    const std::vector<std::uint8_t> pixels(13824, 0x99);
    const std::vector<std::uint8_t> mask(576, 0x66);
    const int position = findBank(directory, "BANQUE test");
    ASSERT_EQ(position, 1);
    EXPECT_EQ(storeBank(directory, position, "BANQUE test", "https://neuf.example", pixels.data(),
                        mask.data()),
              std::optional<int>(1));
    ASSERT_EQ(directory.count(), 3);
    const BankRecord& replaced = *bankAt(directory, 1);
    EXPECT_EQ(fieldText(replaced.name), "BANQUE test");
    EXPECT_EQ(replaced.name[39], '\0'); // rewritten from a zero-filled array
    EXPECT_EQ(fieldText(replaced.webAddress), "https://neuf.example");
    EXPECT_EQ(bankLogo(directory, replaced)->pixels[0], 0x99);
    EXPECT_EQ(bankLogo(directory, replaced)->mask[575], 0x66);
    EXPECT_EQ(fieldText(bankAt(directory, 2)->name), "Dernier");

    // A new name is appended, cut to 38 characters.
    const std::string longName(45, 'L');
    const std::string longWeb(130, 'w');
    ASSERT_EQ(findBank(directory, longName), -1);
    EXPECT_EQ(storeBank(directory, -1, longName, longWeb, pixels.data(), mask.data()),
              std::optional<int>(3));
    ASSERT_EQ(directory.count(), 4);
    EXPECT_EQ(fieldText(directory.last()->name), std::string(38, 'L'));
    EXPECT_EQ(fieldText(directory.last()->webAddress), std::string(126, 'w'));
    EXPECT_EQ(storeBank(directory, -1, "Sans blocs", "", nullptr, nullptr), std::nullopt);
    EXPECT_EQ(directory.count(), 4);
    freeBankDirectory(directory);
}

// --- Where the file lives -------------------------------------------------------

TEST(BankDirectoryPath, IsBesideTheProgram) {
    EXPECT_EQ(bankDirectoryPath("C:\\Programmes\\Kolvane\\Kolvane.exe"),
              "C:\\Programmes\\Kolvane\\etabid.kvb");
    EXPECT_EQ(bankDirectoryPath("Z:/a\\b/Kolvane.exe"), "Z:/a\\b/etabid.kvb");
    EXPECT_EQ(bankDirectoryPath("Kolvane.exe"), "etabid.kvb");
}

// --- The directory we ship --------------------------------------------------------

#ifdef KOLVANE_RESOURCES_DIR
TEST(ShippedBankDirectory, LoadsTenBanksWithAccentedNames) {
    BankDirectory directory;
    const std::string path = testing_samples::sourcePath(KOLVANE_RESOURCES_DIR "/etabid.kvb");
    ASSERT_TRUE(loadBankDirectory(directory, path)) << path;
    EXPECT_EQ(directory.count(), 10);
    EXPECT_GE(findBank(directory, utf8ToCp1252("Crédit Agricole")), 0);
    EXPECT_GE(findBank(directory, utf8ToCp1252("SOCIÉTÉ GÉNÉRALE")), 0);
    for (const BankRecord& bank : directory) {
        SCOPED_TRACE(cp1252ToUtf8(fieldText(bank.name)));
        EXPECT_EQ(fieldText(bank.webAddress).substr(0, 8), "https://");
        const Logo* logo = bankLogo(directory, bank);
        ASSERT_NE(logo, nullptr);
        // The plates have rounded corners: the top-left pixel (file row 47)
        // lets the background through, the centre does not.
        EXPECT_EQ(logo->mask[47 * 12] & 0x80, 0x80);
        EXPECT_EQ(logo->mask[24 * 12 + 6] & 0x80, 0x00);
    }
    freeBankDirectory(directory);
}
#endif

} // namespace
} // namespace kolvane
