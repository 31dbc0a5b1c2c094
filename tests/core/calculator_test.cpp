#include "operations/calculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kolvane {
namespace {

TEST(Calculator, WritesAsAFrenchUserDoes) {
    const std::pair<const char*, double> cases[] = {
        {"12,50 + 7,25", 19.75},      {"2 + 3 × 4", 14.0},     {"(2 + 3) * 4", 20.0},
        {"1 234,5 - 0.5", 1234.0},    {"-(3 - 5)", 2.0},       {"10 ÷ 4", 2.5},
        {"−2 x −3", 6.0},             {"8 / 2 / 2", 2.0},      {"8 - 2 - 2", 4.0},
        {",5 + .25", 0.75},           {"+7", 7.0},             {"999999999999,99", 999999999999.99},
        {"-(2 - 2)", 0.0}};
    for (const auto& [expression, value] : cases) {
        const Calculation c = calculate(expression);
        EXPECT_TRUE(c.ok) << expression << ": " << c.error;
        EXPECT_DOUBLE_EQ(c.value, value) << expression;
    }
    EXPECT_FALSE(std::signbit(calculate("-(2 - 2)").value));
}

TEST(Calculator, MistakesAreToldNeverThrown) {
    const std::pair<std::string, const char*> cases[] = {
        {"  ", "Saisissez un calcul, par exemple 12,50 + 7,25."},
        {"7 / (2 - 2)", "Division par zéro."},
        {"2 +", "Le calcul est incomplet : il manque un nombre à la fin."},
        {"(1 + 2", "Il manque une parenthèse fermante."},
        {"1 + a", "Caractère inattendu « a » en position 5."},
        {"1,2,3", "Caractère inattendu « , » en position 4."},
        {"2)", "Caractère inattendu « ) » en position 2."},
        {"(2 3)(", "Caractère inattendu « ( » en position 6."},
        {"3 . + 1", "Caractère inattendu « . » en position 3."},
        {"999999999999 + 1", "Le résultat est trop grand pour un montant."},
        {std::string(70, '('), "Le calcul a trop de parenthèses imbriquées."}};
    for (const auto& [expression, message] : cases) {
        const Calculation c = calculate(expression);
        EXPECT_FALSE(c.ok) << expression;
        EXPECT_EQ(c.error, message) << expression;
    }
    EXPECT_FALSE(calculate(std::string(400, '9')).ok); // beyond any double
}

TEST(Calculator, ResultShowsTwoToTenDecimalsWithGroupedThousands) {
    EXPECT_EQ(calculatorResultText(1234.5), "1 234.50");
    EXPECT_EQ(calculatorResultText(10.0 / 3.0), "3.3333333333");
    EXPECT_EQ(calculatorResultText(-0.125), "- 0.125");
    EXPECT_EQ(calculatorResultText(0.0), "0.00");
    EXPECT_EQ(calculatorResultText(-123456789012.0), "- 123 456 789 012.00");
}

} // namespace
} // namespace kolvane
