// Import plans (already there, proposals), their booking as one step, the
// exports and the round trip through them, and `kvn import` / `kvn export`.
// The small register sample (register_sample.h) is the account's history;
// expected values are worked out from its table by hand.
#include "exchange/import_preview.h"
#include "exchange/statement_export.h"
#include "exchange/statement_import.h"

#include "document/account_file.h"
#include "document/document_check.h"
#include "document/operation_texts.h"
#include "exchange/ofx_reader.h"
#include "account_file_samples.h"
#include "kvn_run.h"
#include "register_sample.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using sample::date;

constexpr PartyId kSupermarket = Category | 0x0001;
constexpr std::uint16_t kCard = 0x0001, kCheque = 0x0002, kTransferOut = 0x0003,
                        kDirectDebit = 0x0004;
constexpr std::uint16_t kTransferIn = 0x8001, kChequeIn = 0x8003;

FileTime day(int year, int month, int dayOfMonth) {
    return static_cast<FileTime>(daysFromCivil(year, month, dayOfMonth)) * DAY;
}

StatementRow row(FileTime when, double amount, const char* label, const char* kind = "",
                 const char* category = "") {
    StatementRow r;
    r.date = when;
    r.amount = amount;
    r.label = utf8ToCp1252(label);
    r.kind = utf8ToCp1252(kind);
    r.category = utf8ToCp1252(category);
    return r;
}

std::vector<std::uint8_t> sampleStatement(const char* name) {
    return testing_samples::readFile(testing_samples::sourcePath(KOLVANE_STATEMENTS) + "/" + name);
}

class Import : public ::testing::Test {
  protected:
    void SetUp() override {
        s = sample::buildRegisterSample(doc);
        model.fill();
    }
    BookingStatus book(const Statement& statement) {
        const ImportPlan plan = planImport(doc, *s.a, statement);
        return history.perform(
            makeImportOperations(importEntries(doc, *s.a, statement, plan, date(2024, 6, 1))));
    }

    Document doc;
    sample::RegisterSample s;
    RegisterModel model{doc};
    BookingHistory history{model};
};

TEST_F(Import, RowsAlreadyInTheAccountAreFoundOnceEach) {
    // A second transfer from B, three days after the first.
    OperationRecord* later =
        sample::addRecord(doc, s.b->id, s.a->id, -100.0, date(2024, 3, 4), 3, "Virement");
    Statement statement;
    statement.rows = {
        row(day(2024, 3, 6), -12.50, "COURSES"),       // Courses, a day before
        row(day(2024, 3, 4), 100.00, "VIREMENT DE B"), // the nearer of the two transfers
        row(day(2024, 3, 5), 100.00, "VIREMENT"),      // the other one is 4 days away
        row(day(2024, 3, 13), 60.00, "PARTAGE"),       // B's line, 3 days away
        row(day(2024, 3, 14), 60.00, "PARTAGE"),       // ... now taken
        row(day(2024, 3, 7), 45.00, "Remboursement"),  // Avoir: another label
        row(day(2024, 2, 20), -30.00, "Divers"),       // the waiting split
        row(day(2024, 2, 21), -30.00, "DIVERS"),       // taken already
        row(day(2024, 3, 5), -12.51, "Courses"),       // another amount
    };
    const ImportPlan plan = planImport(doc, *s.a, statement);
    const bool there[] = {true, true, false, true, false, false, true, false, false};
    ASSERT_EQ(plan.rows.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(plan.rows[i].alreadyThere, there[i]) << i;
        EXPECT_EQ(plan.rows[i].selected, !there[i]) << i;
    }
    EXPECT_EQ(plan.rows[0].match, s.ticked);
    EXPECT_EQ(plan.rows[1].match, later);
    EXPECT_EQ(plan.rows[3].match, &*s.split->lines->first());
    EXPECT_EQ(plan.rows[6].match, s.waiting);
    // What the register shows for them.
    EXPECT_EQ(plan.rows[0].party, kSupermarket);
    EXPECT_EQ(plan.rows[1].party, s.b->id);
    EXPECT_EQ(plan.newCount(), 5);
}

TEST_F(Import, ProposalsComeFromTheFileThenTheHistoryThenTheBank) {
    // Two rents: the most recent one's category is proposed.
    sample::addRecord(doc, s.a->id, Category | 0x0101, -700.0, date(2024, 1, 1), kTransferOut,
                      "Loyer");
    sample::addRecord(doc, s.a->id, Category | 0x0104, -710.0, date(2024, 2, 1), kDirectDebit,
                      "LOYER 02/2024");
    Statement statement;
    statement.rows = {
        row(day(2024, 4, 10), -20.00, "courses 3/4"),
        row(day(2024, 4, 10), 10.00, "Avoir"),
        row(day(2024, 4, 10), -10.00, "Avoir"), // a credit mode does not suit a debit
        row(day(2024, 4, 1), -720.00, "PRLV LOYER 04"),
        row(day(2024, 4, 1), -720.00, "LOYER 04"),
        row(day(2024, 4, 15), -63.20, "PRLV SEPA EDF", "DIRECTDEBIT"),
        row(day(2024, 4, 16), -120.00, "CHEQUE 1234567", "CHECK"),
        row(day(2024, 4, 30), 1850.75, "VIR SALAIRE", "CREDIT"),
        row(day(2024, 4, 30), 1850.75, "Paie", "Virement reçu", "Revenus:Salaire"),
        row(day(2024, 4, 30), -5.00, "Courses", "Chèque émis", "Alimentation:Cantine"),
        row(day(2024, 4, 30), -5.00, "Divers"), // a split teaches no category
    };
    statement.rows[6].number = "1234567";
    const ImportPlan plan = planImport(doc, *s.a, statement);
    struct Expected {
        PartyId party;
        std::uint16_t mode;
        bool learned;
    };
    const Expected expected[] = {
        {kSupermarket, kCard, true},
        {s.third->id, kChequeIn, true},
        {s.third->id, kCard, true},
        {0, kDirectDebit, false}, // PRLV
        {Category | 0x0104, kDirectDebit, true},
        {0, kDirectDebit, false},
        {0, kCheque, false},
        {0, kTransferIn, false}, // VIR
        {Category | 0x8001, kTransferIn, false},
        {Category | 0x0002, kCheque, false},
        {0, kCard, true},
    };
    ASSERT_EQ(plan.rows.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(plan.rows[i].alreadyThere);
        EXPECT_EQ(plan.rows[i].party, expected[i].party);
        EXPECT_EQ(plan.rows[i].modeId, expected[i].mode);
        EXPECT_EQ(plan.rows[i].learned, expected[i].learned);
    }
    // Booked, Martin counts the two Avoir rows: 2 + 2 operations.
    ASSERT_EQ(book(statement), BookingStatus::Done);
    EXPECT_EQ(s.third->operationCount, 4u);
}

TEST_F(Import, TextsNamePartiesAndTheBankAccountIsCompared) {
    struct Case {
        const char* text;
        PartyId party;
    };
    const Case cases[] = {
        {"Alimentation:Supermarché", kSupermarket},
        {" alimentation :  supermarché ", kSupermarket},
        {"Alimentation", Category | 0x0000},
        {"Supermarché", kSupermarket},
        {"Mutuelle santé", 0}, // two sub-categories have that name
        {"Loisirs:Inconnu", 0},
        {"[Compte B]", s.b->id},
        {"[Compte A]", 0}, // not the account itself
        {"Inter-compte : Compte B", s.b->id},
        {"Tiers : Martin", s.third->id},
        {"MARTIN", s.third->id},
        {"Personne", 0},
        {"opération ventillée", Split},
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolvePartyText(doc, *s.a, utf8ToCp1252(c.text)), c.party) << c.text;

    setFieldText(s.a->bankCode, "30004");
    setFieldText(s.a->branchCode, "01234");
    setFieldText(s.a->accountNumber, "00012345678");
    struct Bank {
        StatementAccount given;
        bool differs;
    };
    const Bank banks[] = {
        {{"30004", "01234", "00012345678"}, false},
        {{"30004", "01234", "0001234567801"}, false}, // with the RIB key
        {{"", "", ""}, false},
        {{"30003", "01234", "00012345678"}, true},
        {{"30004", "01235", "00012345678"}, true},
        {{"", "", "00099999999"}, true},
    };
    for (const Bank& b : banks)
        EXPECT_EQ(statementAccountDiffers(b.given, *s.a), b.differs) << b.given.accountId;
    AccountRecord blank{};
    EXPECT_FALSE(statementAccountDiffers({"30003", "1", "2"}, blank));
    EXPECT_EQ(accountMismatchQuestion({" 30003", "", "00012345678"}, *s.a),
              "Ce relevé concerne le compte bancaire 30003 00012345678, alors que « Compte A » "
              "est le compte 30004 01234 00012345678.\nVoulez-vous l'importer quand même ?");
}

TEST_F(Import, OneStepBooksTheNewRowsAndUndoesExactly) {
    const std::vector<std::uint8_t> before = serializeDocument(doc);
    Statement first;
    ReadError error;
    ASSERT_TRUE(readOfx(sampleStatement("seed-sgml-1252.ofx"), first, error));
    ASSERT_EQ(book(first), BookingStatus::Done);
    // 1 162.50 - 42.50 - 120.00 + 1 850.75 - 63.20
    EXPECT_NEAR(s.a->balance, 2787.55, 1e-9);
    EXPECT_EQ(s.a->operationCount, 10u);
    EXPECT_EQ(doc.nextOperationId, 13u);
    EXPECT_EQ(model.rowCount(), 10);
    EXPECT_EQ(doc.labels.count(), 0); // bank labels stay out of the list
    EXPECT_EQ(checkDocument(doc), std::vector<std::string>{});
    const OperationRecord& salary = *doc.operations.previous(doc.operations.last());
    EXPECT_EQ(cp1252ToUtf8(fieldText(salary.label)), "VIR SALAIRE SOCIÉTÉ GÉNÉRALE D'ÉTUDES");
    EXPECT_EQ(salary.modeId, kTransferIn);
    EXPECT_EQ(salary.operationDate, day(2024, 1, 10));
    const std::vector<std::uint8_t> after = serializeDocument(doc);

    // The same statement again adds nothing.
    EXPECT_EQ(planImport(doc, *s.a, first).newCount(), 0);
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(serializeDocument(doc), before);
    EXPECT_EQ(model.rowCount(), 6);
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(serializeDocument(doc), after);
    EXPECT_EQ(model.rowCount(), 10);
    EXPECT_EQ(history.nextUndo()->name(), std::string("importation d'un relevé"));
}

TEST_F(Import, ExportsWriteTheAccountAsItSeesIt) {
    // Seen from A, by date: the waiting split, B's transfer, the ticked
    // purchase, the refund, B's split line.
    setFieldUtf8(s.waiting->label, "Fnac; \"cadeaux\""); // quoted, its quotes doubled
    const std::string csv = exportOperations(doc, s.a, ExportFormat::Csv);
    EXPECT_EQ(
        csv, "\xEF\xBB\xBF"
             "Date;Libellé;Montant;Mode;Catégorie\r\n"
             "20/02/2024;\"Fnac; \"\"cadeaux\"\"\";-30,00;Carte de paiement;Opération ventillée\r\n"
             "01/03/2024;Virement;100,00;Virement émis;Inter-compte : Compte B\r\n"
             "05/03/2024;Courses;-12,50;Carte de paiement;Alimentation : Supermarché\r\n"
             "07/03/2024;Avoir;45,00;Remise de chèque;Tiers : Martin\r\n"
             "10/03/2024;Partage;60,00;Carte de paiement;Inter-compte : Compte B\r\n");
    const std::string qif = exportOperations(doc, s.b, ExportFormat::Qif);
    EXPECT_EQ(qif,
              utf8ToCp1252(
                  "!Type:Bank\r\n"
                  "D01/03/2024\r\nT-100.00\r\nPVirement\r\nNVirement émis\r\nL[Compte A]\r\n^\r\n"
                  "D10/03/2024\r\nT-80.00\r\nPPartage\r\nNCarte de paiement\r\n"
                  "S[Compte A]\r\n$-60.00\r\nSAlimentation:Cantine\r\n$-20.00\r\n^\r\n"));
    const std::string all = exportOperations(doc, nullptr, ExportFormat::Csv);
    EXPECT_NE(all.find("\r\nCompte B;01/03/2024;Virement;-100,00;"), std::string::npos);
    EXPECT_EQ(all.find("Compte C;"), std::string::npos); // nothing but its initial balance
}

TEST_F(Import, ThePreviewShowsTheRowsAndTakesTheUsersChoices) {
    Statement statement;
    statement.rows = {row(day(2024, 3, 6), -12.50, "COURSES"),
                      row(day(2024, 4, 2), -7.00, "Boulangerie"),
                      row(day(2024, 4, 3), 20.00, "Avoir")};
    ImportPreview preview(doc, *s.a, statement);
    const char* expected[3][kImportColumnCount] = {
        {"Non", " 06/03/2024", "COURSES", "- 12.50", "Carte de paiement",
         "Alimentation : Supermarché", "Déjà présente"},
        {"Oui", " 02/04/2024", "Boulangerie", "- 7.00", "Carte de paiement", "", "Nouvelle"},
        {"Oui", " 03/04/2024", "Avoir", "20.00", "Remise de chèque", "Tiers : Martin", "Nouvelle"},
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < kImportColumnCount; ++c)
            EXPECT_EQ(cp1252ToUtf8(preview.cellText(r, c)), expected[r][c]) << r << ", " << c;
    EXPECT_EQ(preview.rowLook(0).text, kAlreadyThereColour);
    EXPECT_EQ(preview.rowLook(1).text, kListColour);
    EXPECT_EQ(preview.summary(), "3 opérations lues : 2 nouvelles, 1 déjà présente. 2 à importer.");

    preview.setParty(1, Category | 0x0003); // Restaurant
    preview.setMode(1, kCheque);
    preview.setParty(0, Category | 0x0003); // a row already there keeps its own
    preview.setParty(2, Split);             // no split made here
    preview.toggle(2);
    EXPECT_EQ(cp1252ToUtf8(preview.cellText(1, kImportCategory)), "Alimentation : Restaurant");
    EXPECT_EQ(cp1252ToUtf8(preview.cellText(0, kImportCategory)), "Alimentation : Supermarché");
    EXPECT_EQ(preview.summary(), "3 opérations lues : 2 nouvelles, 1 déjà présente. 1 à importer.");
    const std::vector<OperationEntry> entries = preview.entries(date(2024, 6, 1));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].party, Category | 0x0003);
    EXPECT_EQ(entries[0].modeId, kCheque);
    EXPECT_EQ(entries[0].amount, -7.0);
    preview.toggle(0); // the user may still import a row already there
    EXPECT_EQ(preview.entries(0).size(), 2u);
    // The file read again: the user's choices go with the rows they were for.
    preview.replaceStatement(Statement{{row(day(2024, 4, 2), -7.00, "Boulangerie")}, {}});
    EXPECT_EQ(preview.summary(), "1 opération lue : 1 nouvelle, 0 déjà présente. 1 à importer.");
    EXPECT_EQ(cp1252ToUtf8(preview.cellText(0, kImportCategory)), "");
}

TEST(CsvPreview, TheLayoutIsDescribedItsColumnsOfferedAndTheRememberedOneTriedFirst) {
    const std::string utf8 = "\xEF\xBB\xBF"
                             "Date;Libellé;Débit;Crédit\r\n03/01/2024;CB CARREFOUR;42,50;\r\n"
                             "10/01/2024;VIR SOCIÉTÉ;;1850,75\r\n";
    const std::vector<std::uint8_t> bytes(utf8.begin(), utf8.end());
    const CsvLayout guessed = guessCsvLayout(bytes);
    EXPECT_EQ(
        describeCsvLayout(guessed),
        "Fichier CSV : séparateur « ; », virgule décimale, dates jj/mm/aaaa, encodage UTF-8.");
    EXPECT_EQ(csvColumnChoices(bytes, guessed),
              (std::vector<std::string>{"Colonne 1 : Date", "Colonne 2 : Libellé",
                                        "Colonne 3 : Débit", "Colonne 4 : Crédit"}));
    CsvLayout other{'\t', '.', DateOrder::YearMonthDay, TextEncoding::Windows1252, 2, false, {}};
    EXPECT_EQ(describeCsvLayout(other),
              "Fichier CSV : séparateur tabulation, point décimal, dates "
              "aaaa/mm/jj, encodage Windows-1252, 2 lignes ignorées au début.");
    other.skippedLines = 1;
    EXPECT_NE(describeCsvLayout(other).find(", 1 ligne ignorée au début."), std::string::npos);

    // Without column names, the first row's cells are the samples; a long one is cut.
    const std::string plain = "03/01/2024,CB CARREFOUR MARKET 1234 PARIS 15E ARR,-42.50\n";
    CsvLayout noHeader = guessCsvLayout(std::vector<std::uint8_t>(plain.begin(), plain.end()));
    noHeader.roles.resize(5); // a column the file does not have is still offered
    EXPECT_EQ(csvColumnChoices(std::vector<std::uint8_t>(plain.begin(), plain.end()), noHeader),
              (std::vector<std::string>{"Colonne 1 : 03/01/2024",
                                        "Colonne 2 : CB CARREFOUR MARKET 1234 PARIS...",
                                        "Colonne 3 : -42.50", "Colonne 4", "Colonne 5"}));

    const auto secondRole = [&](std::string_view remembered) {
        const CsvLayout layout = csvLayoutForImport(bytes, remembered);
        return layout.roles.size() > 1 ? layout.roles[1] : CsvRole::Ignored;
    };
    EXPECT_EQ(
        secondRole("sep=;|dec=,|date=dmy|enc=utf8|skip=0|header=1|roles=date,memo,debit,credit"),
        CsvRole::Memo);
    // Remembered layouts that do not read this file, or are not layouts: the guess.
    EXPECT_EQ(secondRole("sep=,|dec=,|date=dmy|enc=utf8|skip=0|header=1|roles=date,memo,amount"),
              CsvRole::Label);
    EXPECT_EQ(secondRole("sep=;|roles=date,memo"), CsvRole::Label);
    EXPECT_EQ(secondRole(""), CsvRole::Label);
}

// --- kvn import / export -------------------------------------------------------

using namespace kvntest;

std::string fileText(const std::string& path) {
    const std::vector<std::uint8_t> bytes = testing_samples::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(KvnImport, ImportsOnceRefusesBadInputAndExports) {
    const testing_samples::TemporaryFolder dir;
    const std::string file = dir.file("comptes.kvn");
    const std::string statements = std::string(KOLVANE_STATEMENTS) + "/";
    ASSERT_EQ(kvn({"new", file, "--account", "Courant", "--initial", "100"}).code, 0);

    KvnRun dry =
        kvn({"import", file, "--account", "Courant", statements + "seed-french.qif", "--dry-run"});
    EXPECT_EQ(dry.code, 0) << dry.err;
    EXPECT_HAS(dry.out, "new   03/01/2024  - 42.50  CB CARREFOUR MARKET  [Carte de paiement | "
                        "Alimentation : Supermarché]\n");
    EXPECT_HAS(dry.out, "Dry run: 4 new operations, 0 already there; nothing written\n");
    const std::string untouched = fileText(file);

    // Bad input: exit 2, one line, the file as it was.
    const std::vector<std::vector<std::string>> bad = {
        {"import", file, "--account", "Courant", statements + "bad-amount.qif"},
        {"import", file, "--account", "Courant", statements + "missing.qif"},
        {"import", file, "--account", "Epargne", statements + "seed-french.qif"},
        {"import", file, "--account", "Courant", statements + "seed-french.qif", "--format", "pdf"},
        {"import", file, "--account", "Courant"},
        {"export", file, "--account", "Courant", "--format", "ods", dir.file("x.ods")},
        {"export", file, "--account", "Courant", "--all", "--format", "csv", dir.file("x.csv")},
        {"export", file, "--account", "Courant", "--format", "csv", file},
    };
    for (const auto& args : bad) {
        expectRefused(kvn(args));
        EXPECT_EQ(fileText(file), untouched);
    }
    EXPECT_HAS(kvn(bad[0]).err, "Ligne 8 : montant illisible « -12O,00 »; nothing imported");
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.csv")));

    KvnRun first = kvn({"import", file, "--account", "Courant", statements + "seed-french.qif"});
    EXPECT_EQ(first.code, 0) << first.err;
    // 100 - 42.50 - 120 - 100 + 1 850.75
    EXPECT_HAS(first.out,
               "Imported 4 operations (0 already there) into Courant; balance 1 688.25\n");
    KvnRun second = kvn({"import", file, "--account", "Courant", statements + "seed-french.qif"});
    EXPECT_HAS(second.out, "Nothing to import: all 4 operations are already there\n");
    EXPECT_EQ(kvn({"check", file}).code, 0);

    const std::string out = dir.file("courant.csv");
    ASSERT_EQ(kvn({"export", file, "--account", "Courant", "--format", "csv", out}).code, 0);
    EXPECT_HAS(fileText(out),
               "20/01/2024;FNAC PARIS;-100,00;Carte de paiement;Opération ventillée\r\n");
}

} // namespace
} // namespace kolvane
