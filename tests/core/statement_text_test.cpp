// How statements' amounts, dates, encodings and labels are read. Expected
// values follow the rules in statement_text.h, worked out by hand.
#include "exchange/statement_text.h"

#include "document/calendar.h"
#include "document/text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kolvane {
namespace {

FileTime day(int year, int month, int dayOfMonth) {
    return static_cast<FileTime>(daysFromCivil(year, month, dayOfMonth)) * DAY;
}

TEST(StatementText, AmountsAsBanksWriteThem) {
    struct Case {
        const char* text;
        char mark;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"-42,50", ',', true, -42.50},
        {"1 850,75", ',', true, 1850.75},
        {"1.850,75", ',', true, 1850.75},
        {"1,234.56", '.', true, 1234.56},
        {"12.50-", '.', true, -12.50},
        {"+3", ',', true, 3.0},
        {"63,20 \x80", ',', true, 63.20}, // the euro sign in Windows-1252
        {"63,20 EUR", ',', true, 63.20},
        {"\xA0"
         "7,5\xA0",
         ',', true, 7.50},
        {"2.125", 0, true, 2.13}, // four decimals at most, half away from zero
        {"-2,1249", 0, true, -2.12},
        {"-0,001", ',', true, 0.0},
        {"999999999,99", ',', true, 999999999.99},
        {"1000000000", ',', false, 0},  // ten digits before the mark
        {"0001000", ',', true, 1000.0}, // leading zeros do not count
        {"1,23456", ',', false, 0},     // five decimals
        {"12,", ',', false, 0},
        {",5", ',', false, 0},
        {"1 234,5", 0, false, 0}, // no grouping when either mark is accepted
        {"1,2,3", ',', false, 0},
        {"12O,00", ',', false, 0},
        {"--5", ',', false, 0},
        {"", ',', false, 0},
        {"1e5", '.', false, 0},
    };
    for (const Case& c : cases) {
        double value = -999.0;
        EXPECT_EQ(parseStatementAmount(c.text, c.mark, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_FALSE(std::signbit(value) && value == 0.0) << c.text;
        }
    }
}

TEST(StatementText, DatesInEachOrder) {
    struct Case {
        const char* text;
        DateOrder order;
        FileTime expected; // 0: refused
    };
    const Case cases[] = {
        {"15/01/2024", DateOrder::DayMonthYear, day(2024, 1, 15)},
        {"5.3.24", DateOrder::DayMonthYear, day(2024, 3, 5)},
        {"05-03-69", DateOrder::DayMonthYear, day(2069, 3, 5)},
        {"05-03-70", DateOrder::DayMonthYear, day(1970, 3, 5)},
        {"1/15'24", DateOrder::MonthDayYear, day(2024, 1, 15)},
        {"1/15' 4", DateOrder::MonthDayYear, day(2004, 1, 15)},
        {"12/31/2023", DateOrder::MonthDayYear, day(2023, 12, 31)},
        {"2024-02-29", DateOrder::YearMonthDay, day(2024, 2, 29)},
        {"20240110", DateOrder::YearMonthDay, day(2024, 1, 10)},
        {"2023-02-29", DateOrder::YearMonthDay, 0},
        {"31/04/2024", DateOrder::DayMonthYear, 0},
        {"15/13/2024", DateOrder::DayMonthYear, 0},
        {"15/01/1899", DateOrder::DayMonthYear, 0},
        {"15/01/3000", DateOrder::DayMonthYear, 0},
        {"15/01", DateOrder::DayMonthYear, 0},
        {"15//01/2024", DateOrder::DayMonthYear, 0},
        {"15/01/2024x", DateOrder::DayMonthYear, 0},
        {"15/01/202", DateOrder::DayMonthYear, 0},
        {"24-01-15", DateOrder::YearMonthDay, 0}, // the year first needs four digits
    };
    for (const Case& c : cases) {
        FileTime date = 1;
        EXPECT_EQ(parseStatementDate(c.text, c.order, date), c.expected != 0) << c.text;
        if (c.expected) {
            EXPECT_EQ(date, c.expected) << c.text;
        }
    }
    constexpr unsigned dmy = 1, mdy = 2, ymd = 4;
    EXPECT_EQ(dateOrdersOf("03/04/2024"), dmy | mdy);
    EXPECT_EQ(dateOrdersOf("13/04/2024"), dmy);
    EXPECT_EQ(dateOrdersOf("04/13/2024"), mdy);
    EXPECT_EQ(dateOrdersOf("2024-04-03"), ymd);
    EXPECT_EQ(dateOrdersOf("Solde"), 0u);
}

TEST(StatementText, EncodingIsGuessedAndCheckedAndLinesAreCut) {
    EXPECT_EQ(guessEncoding("plain ASCII"), TextEncoding::Windows1252);
    EXPECT_EQ(guessEncoding("caf\xC3\xA9"), TextEncoding::Utf8);
    EXPECT_EQ(guessEncoding("caf\xE9 cr\xE8me"), TextEncoding::Windows1252);
    EXPECT_EQ(guessEncoding("\xEF\xBB\xBF"
                            "abc"),
              TextEncoding::Utf8);
    EXPECT_EQ(guessEncoding("\xC0\xAF"), TextEncoding::Windows1252);     // overlong '/'
    EXPECT_EQ(guessEncoding("\xED\xA0\x80"), TextEncoding::Windows1252); // a surrogate

    std::string text;
    ReadError error;
    ASSERT_TRUE(decodeStatementText("\xEF\xBB\xBF"
                                    "Soci\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xE2\x98\x83",
                                    TextEncoding::Utf8, text, error));
    EXPECT_EQ(text, "Soci\xE9t\xE9 \x80 ?");
    ASSERT_TRUE(decodeStatementText("Soci\xE9t\xE9", TextEncoding::Windows1252, text, error));
    EXPECT_EQ(text, "Soci\xE9t\xE9");
    EXPECT_FALSE(decodeStatementText("a\nb\nSoci\xE9t\xE9", TextEncoding::Utf8, text, error));
    EXPECT_EQ(error.line, 3);
    EXPECT_FALSE(
        decodeStatementText(std::string("a\n\0b", 4), TextEncoding::Windows1252, text, error));
    EXPECT_EQ(error.line, 2);

    std::vector<std::string_view> lines;
    ASSERT_TRUE(splitStatementLines("a\r\nb\rc\n\nd", lines, error));
    EXPECT_EQ(lines, (std::vector<std::string_view>{"a", "b", "c", "", "d"}));
    const std::string longLine = "x\n" + std::string(kMaxStatementLine + 1, 'y');
    EXPECT_FALSE(splitStatementLines(longLine, lines, error));
    EXPECT_EQ(error.line, 2);
    EXPECT_TRUE(splitStatementLines(std::string(kMaxStatementLine, 'y'), lines, error));
}

TEST(StatementText, LabelKeysDropWhatChangesBetweenStatements) {
    EXPECT_EQ(labelKey("Paiement CB 12/03 Carrefour 4974XXXX1234"), "PAIEMENT CB CARREFOUR");
    EXPECT_EQ(labelKey(utf8ToCp1252("Prélèvement  ÉDF n°7")), "PRELEVEMENT EDF N");
    EXPECT_EQ(labelKey(utf8ToCp1252("CARTE XXXX XX Œuvre ça")), "CARTE XX OEUVRE CA");
    EXPECT_EQ(labelKey("CB*NETFLIX.COM"), "CB NETFLIX COM");
    EXPECT_EQ(labelKey("123 456"), "");

    struct Case {
        const char* a;
        const char* b;
        bool similar;
    };
    const Case cases[] = {
        {"CB CARREFOUR 02/01", "cb carrefour 03/01", true},
        {"CB CARREFOUR", "Carrefour", true}, // every word of the shorter one
        {"PRLV SEPA EDF", "PRLV SEPA EDF CLIENTS PARTICULIERS", true},
        {"VIR SALAIRE SOCIETE GENERALE D ETU", "VIR SALAIRE SOCIETE GENERALE D ETUDES", true},
        {"PRLV EDF SEPA", "PRLV SEPA EDF CLIENT", true}, // words in another order
        {"PAIEMENT CB CARREFOUR", "PAIEMENT CB LECLERC", false},
        {"Loyer", "Assurance", false},
        {"CHQ 123", "chq 123", true}, // keys equal
        {"123", "123", true},         // no key: the texts themselves
        {"123", "124", false},
        {"123", "CB 123", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(similarLabels(c.a, c.b), c.similar) << c.a << " / " << c.b;
}

} // namespace
} // namespace kolvane
