// The readers on hand-written statements in the forms French banks give
// (fuzz/statements: seed-* read, bad-* refused), the expected rows read off
// the files by hand, and on hostile input: all or nothing, with the line.
#include "exchange/csv_reader.h"
#include "exchange/ofx_reader.h"
#include "exchange/qif_reader.h"
#include "exchange/statement_import.h"

#include "account_file_samples.h"

#include "document/calendar.h"
#include "document/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iostream>

namespace kolvane {
namespace {

std::filesystem::path statementFolder() {
    return testing_samples::sourcePath(KOLVANE_STATEMENTS);
}

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> sample(const char* name) {
    return testing_samples::readFile((statementFolder() / name).string());
}

FileTime day(int year, int month, int dayOfMonth) {
    return static_cast<FileTime>(daysFromCivil(year, month, dayOfMonth)) * DAY;
}

struct Expected {
    FileTime date;
    double amount;
    const char* label; // UTF-8
};

void expectRows(const Statement& statement, std::initializer_list<Expected> rows) {
    ASSERT_EQ(statement.rows.size(), rows.size());
    std::size_t i = 0;
    for (const Expected& row : rows) {
        SCOPED_TRACE(i);
        EXPECT_EQ(statement.rows[i].date, row.date);
        EXPECT_EQ(statement.rows[i].amount, row.amount);
        EXPECT_EQ(cp1252ToUtf8(statement.rows[i].label), row.label);
        ++i;
    }
}

TEST(StatementReaders, OfxXmlInUtf8) {
    Statement s;
    ReadError error;
    ASSERT_TRUE(readOfx(sample("seed-xml-utf8.ofx"), s, error)) << describeReadError(error);
    expectRows(s, {{day(2024, 1, 16), -63.20, "PRLV SEPA EDF"},
                   {day(2024, 2, 2), -15.99, "CB NETFLIX.COM 01/02"},
                   {day(2024, 2, 3), -8.40, "CB CAFÉ & CO"},
                   {day(2024, 2, 5), 250.00, "VIR M. DUPONT LOYER FÉVRIER"}});
    EXPECT_EQ(s.rows[0].memo, "");
    EXPECT_EQ(s.rows[3].kind, "XFER");
    EXPECT_EQ(s.account.accountId, "0001234567801");
    // Character references, however many digits they take.
    ASSERT_TRUE(
        readOfx(bytesOf("<OFX><STMTTRN><DTPOSTED>20240101<TRNAMT>1<NAME>A&#00000233;&#x41;&lt;"
                        "</STMTTRN></OFX>"),
                s, error));
    EXPECT_EQ(cp1252ToUtf8(s.rows[0].label), "AéA<");
}

TEST(StatementReaders, QifWithFrenchAndUsDates) {
    Statement s;
    ReadError error;
    ASSERT_TRUE(readQif(sample("seed-french.qif"), s, error)) << describeReadError(error);
    expectRows(s, {{day(2024, 1, 3), -42.50, "CB CARREFOUR MARKET"},
                   {day(2024, 1, 5), -120.00, "CHEQUE 1234567"},
                   {day(2024, 1, 20), -100.00, "FNAC PARIS"},
                   {day(2024, 1, 31), 1850.75, "VIR SALAIRE"}});
    ASSERT_TRUE(readQif(sample("seed-us.qif"), s, error)) << describeReadError(error);
    expectRows(
        s, {{day(2023, 12, 31), -1234.56, "RENT DECEMBER"}, {day(2024, 1, 15), 99.90, "REFUND"}});
}

TEST(StatementReaders, CsvLayoutIsGuessedFromTheFile) {
    const std::vector<std::uint8_t> bank = sample("seed-banque-1252.csv");
    const CsvLayout layout = guessCsvLayout(bank);
    EXPECT_EQ(layout.separator, ';');
    EXPECT_EQ(layout.decimalMark, ',');
    EXPECT_EQ(layout.dateOrder, DateOrder::DayMonthYear);
    EXPECT_EQ(layout.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(layout.skippedLines, 3); // the blank records do not count
    EXPECT_TRUE(layout.header);
    EXPECT_EQ(layout.roles, (std::vector<CsvRole>{CsvRole::Date, CsvRole::Label, CsvRole::Debit,
                                                  CsvRole::Credit}));
    Statement s;
    ReadError error;
    ASSERT_TRUE(readCsv(bank, layout, s, error)) << describeReadError(error);
    expectRows(s, {{day(2024, 1, 3), -42.50, "CB CARREFOUR MARKET 02/01"},
                   {day(2024, 1, 5), -120.00, "CHEQUE 1234567"},
                   {day(2024, 1, 10), 1850.75, "VIR SALAIRE SOCIÉTÉ"},
                   {day(2024, 1, 15), -63.20, "PRLV SEPA EDF ÉCHÉANCE JANVIER"}});
    EXPECT_EQ(s.rows[3].line, 10);

    const std::vector<std::uint8_t> tab = sample("seed-bom-tab.csv");
    const CsvLayout tabLayout = guessCsvLayout(tab);
    EXPECT_EQ(tabLayout.separator, '\t');
    EXPECT_EQ(tabLayout.decimalMark, '.');
    EXPECT_EQ(tabLayout.dateOrder, DateOrder::YearMonthDay);
    EXPECT_EQ(tabLayout.encoding, TextEncoding::Utf8);
    EXPECT_EQ(tabLayout.roles,
              (std::vector<CsvRole>{CsvRole::Date, CsvRole::Ignored, CsvRole::Label,
                                    CsvRole::Amount, CsvRole::Category}));
    ASSERT_TRUE(readCsv(tab, tabLayout, s, error)) << describeReadError(error);
    expectRows(s, {{day(2024, 2, 2), -15.99, "CB NETFLIX.COM"},
                   {day(2024, 2, 5), 250.00, "VIR M. DUPONT LOYER FÉVRIER"}});
    EXPECT_EQ(s.rows[0].category, "Loisirs");

    // Without column names the roles come from the cells; US-style commas.
    const CsvLayout bare = guessCsvLayout(bytesOf("12/31/2023,\"RENT, DECEMBER\",-1234.56\n"
                                                  "01/02/2024,COFFEE,-3.10\n"));
    EXPECT_EQ(bare.separator, ',');
    EXPECT_FALSE(bare.header);
    EXPECT_EQ(bare.dateOrder, DateOrder::MonthDayYear);
    EXPECT_EQ(bare.decimalMark, '.');
    EXPECT_EQ(bare.roles, (std::vector<CsvRole>{CsvRole::Date, CsvRole::Label, CsvRole::Amount}));
}

TEST(StatementReaders, CsvLayoutTextGoesBackAndForth) {
    CsvLayout layout;
    layout.separator = '\t';
    layout.decimalMark = '.';
    layout.dateOrder = DateOrder::MonthDayYear;
    layout.encoding = TextEncoding::Windows1252;
    layout.skippedLines = 120; // three digits at most
    layout.header = false;
    layout.roles = {CsvRole::Date, CsvRole::Ignored, CsvRole::Debit, CsvRole::Credit,
                    CsvRole::Memo};
    const std::string text = csvLayoutText(layout);
    EXPECT_EQ(
        text,
        "sep=tab|dec=.|date=mdy|enc=1252|skip=120|header=0|roles=date,ignored,debit,credit,memo");
    CsvLayout back;
    ASSERT_TRUE(parseCsvLayoutText(text, back));
    EXPECT_EQ(csvLayoutText(back), text);
    // Not a layout at all is CsvPreview's; here a wrong value in each kind of field.
    for (const char* bad : {"sep=x|dec=,|date=dmy|enc=utf8|skip=0|header=1|roles=date",
                            "sep=;|dec=,|date=dmy|enc=utf8|skip=0|header=1|roles=date,when",
                            "sep=;|dec=,|date=dmy|enc=utf8|skip=1000|header=1|roles=date"}) {
        CsvLayout untouched = back;
        EXPECT_FALSE(parseCsvLayoutText(bad, untouched)) << bad;
        EXPECT_EQ(csvLayoutText(untouched), text);
    }
}

TEST(StatementReaders, HostileInputIsRefusedWithAReason) {
    struct Case {
        std::string text;
        StatementFormat format;
        int line;
        const char* reason;
    };
    const std::string longLine(10u << 20, 'A');
    const Case cases[] = {
        {"Date;Montant\n01/01/2024;\"" + longLine + "\"\n", StatementFormat::Csv, 2,
         "ligne trop longue"},
        {"<OFX><STMTTRN><TRNAMT>1" + longLine, StatementFormat::Ofx, 1, "montant TRNAMT invalide"},
        {"<OFX><STMTTRN><DTPOSTED>20240101<TRNAMT>1e308</STMTTRN></OFX>", StatementFormat::Ofx, 1,
         "montant TRNAMT invalide « 1e308 »"},
        {"<OFX><STMTTRN><TRNAMT>-5</STMTTRN></OFX>", StatementFormat::Ofx, 1,
         "opération sans date (DTPOSTED)"},
        {"<OFX><STMTTRN><DTPOSTED>2024011</STMTTRN></OFX>", StatementFormat::Ofx, 1,
         "date DTPOSTED invalide"},
        {"<OFX>\n<STMTTRN>\n<DTPOSTED>20240101\n</STMTTRN>\n</OFX>", StatementFormat::Ofx, 4,
         "opération sans montant (TRNAMT)"},
        {"<OFX>\n</BANKTRANLIST>\n</OFX>", StatementFormat::Ofx, 2,
         "balise </BANKTRANLIST> sans ouverture"},
        {"<OFX>\n<NAME>A<B\n</OFX>", StatementFormat::Ofx, 2, "balise non fermée"},
        {"<html><body>", StatementFormat::Ofx, 1, "ce n'est pas un relevé OFX"},
        {"", StatementFormat::Ofx, 0, "ce n'est pas un relevé OFX"},
        {"D01/01/2024\n^\n", StatementFormat::Qif, 1, "ce n'est pas un fichier QIF"},
        {"!Type:Bank\nT-5\n^\n", StatementFormat::Qif, 3, "opération sans date (D)"},
        {"!Type:Bank\nD32/01/2024\n", StatementFormat::Qif, 2, "date illisible « 32/01/2024 »"},
        {"!Type:Bank\nD01/01/2024\nT-5\nS\n^\n", StatementFormat::Qif, 5,
         "ligne de ventilation sans montant"},
        {"!Type:Bank\nD01/01/2024\nT-5\n$-5\n^\n", StatementFormat::Qif, 4,
         "montant de ventilation sans catégorie"},
        {"!Type:Bank\nD01/01/2024\nT-5\nSA\n$-4\n^\n", StatementFormat::Qif, 6,
         "la ventilation ne fait pas le montant"},
        {"Date;Montant\n01/01/2024;\"12\n", StatementFormat::Csv, 2,
         "guillemet ouvert jamais fermé"},
        {"Date;Montant\n01/01/2024;\n", StatementFormat::Csv, 2, "montant absent"},
        {"Date;Montant\n01/02/2024;5\n31/02/2024;6\n", StatementFormat::Csv, 3,
         "date illisible « 31/02/2024 »"},
        {"Libellé;Note\nA;B\n", StatementFormat::Csv, 0, "choisissez la colonne de la date"},
        {std::string("\xFF\xFE<\0O\0F\0X\0", 10), StatementFormat::Ofx, 1, "octet nul"},
        {"x", StatementFormat::Unknown, 0, "format de relevé inconnu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        Statement s;
        s.rows.resize(1);
        s.rows[0].label = "untouched";
        ReadError error;
        EXPECT_FALSE(readStatement(bytesOf(c.text), c.format, nullptr, s, error));
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.reason.rfind(c.reason, 0), 0u) << error.reason;
        ASSERT_EQ(s.rows.size(), 1u);
        EXPECT_EQ(s.rows[0].label, "untouched");
    }
    EXPECT_EQ(describeReadError({12, "montant illisible"}), "Ligne 12 : montant illisible");
    EXPECT_EQ(describeReadError({0, "fichier trop volumineux"}), "fichier trop volumineux");
}

TEST(StatementReaders, FormatIsToldByContentThenByName) {
    EXPECT_EQ(guessStatementFormat(bytesOf("\xEF\xBB\xBF\r\nOFXHEADER:100"), "x.csv"),
              StatementFormat::Ofx);
    EXPECT_EQ(
        guessStatementFormat(bytesOf("<?xml version=\"1.0\"?><?OFX OFXHEADER=\"200\"?>"), "x"),
        StatementFormat::Ofx);
    EXPECT_EQ(guessStatementFormat(bytesOf("!Type:Bank"), "x.ofx"), StatementFormat::Qif);
    EXPECT_EQ(guessStatementFormat(bytesOf("<?xml version=\"1.0\"?><html>"), "x.QFX"),
              StatementFormat::Ofx);
    EXPECT_EQ(guessStatementFormat(bytesOf("Date;Montant"), "releve.CSV"), StatementFormat::Csv);
    EXPECT_EQ(guessStatementFormat(bytesOf("Date;Montant"), "releve.qif"), StatementFormat::Qif);
    EXPECT_EQ(guessStatementFormat(bytesOf("Date;Montant"), "releve"), StatementFormat::Unknown);
}

// Every file of the statements corpus (the fuzzers' findings among them):
// each reader either refuses it, leaving the statement empty, or reads rows
// whose amounts and dates are in range. The seeds read with the reader of
// their extension; the bad-* files are refused by it.
TEST(StatementReaders, CorpusReplays) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(statementFolder())) {
        if (!entry.is_regular_file())
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = testing_samples::readFile(entry.path().string());
        const StatementFormat own = guessStatementFormat({}, name);
        for (StatementFormat format :
             {StatementFormat::Ofx, StatementFormat::Qif, StatementFormat::Csv}) {
            Statement s;
            ReadError error;
            const bool read = readStatement(bytes, format, nullptr, s, error);
            if (format == own && name.starts_with("seed-")) {
                EXPECT_TRUE(read) << describeReadError(error);
            }
            if (format == own && name.starts_with("bad-")) {
                EXPECT_FALSE(read);
            }
            if (!read) {
                EXPECT_TRUE(s.rows.empty());
                EXPECT_FALSE(error.reason.empty());
            }
            for (const StatementRow& row : s.rows) {
                EXPECT_LT(std::fabs(row.amount), 1e9);
                EXPECT_GE(row.date, day(1900, 1, 1));
                EXPECT_EQ(row.date % DAY, 0u);
            }
        }
        ++files;
    }
    EXPECT_GE(files, 11);
    std::cout << "[          ] " << files << " statement files replayed\n";
}

} // namespace
} // namespace kolvane
