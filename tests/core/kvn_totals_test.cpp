// kvn totals: which period a date and a length choose, the missing chart and
// the refusals. The chart's totals and texts are checked against an
// independent implementation by tests/tools/check_independent_writer.py.
#include "kvn_run.h"

#include "account_file_samples.h"
#include "document/account_file.h"
#include "register_sample.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using namespace kvntest;

KvnRun kvnTotals(std::vector<std::string> args) {
    args.insert(args.begin(), "totals");
    return kvn(args);
}

class KvnTotals : public testing::Test {
  protected:
    void SetUp() override {
        sample::buildRegisterSample(doc_);
        save();
    }
    void save() { ASSERT_EQ(saveDocument(doc_, path_), 1); }

    testing_samples::TemporaryFolder folder_;
    std::string path_ = folder_.file("comptes.kvn");
    Document doc_;
};

TEST_F(KvnTotals, TheDateChoosesThePeriodOfEachLength) {
    struct Case {
        const char *length, *at, *name, *year, *start, *end;
    };
    const Case cases[] = {
        {"month", "2023-12-17", "Decembre", "2023", "2023-12-01", "2024-01-01"},
        {"quarter", "2024-05-17", "2e Trimestre", "2024", "2024-04-01", "2024-07-01"},
        {"quarter", "2024-10-01", "4e Trimestre", "2024", "2024-10-01", "2025-01-01"},
        {"half", "2024-06-30", "1ère Semestre", "2024", "2024-01-01", "2024-07-01"},
        {"half", "2023-12-31", "2e Semestre", "2023", "2023-07-01", "2024-01-01"},
        {"year", "2024-02-29", "Tous", "2024", "2024-01-01", "2025-01-01"},
    };
    for (const Case& c : cases) {
        const KvnRun run = kvnTotals({path_, "--period", c.length, "--at", c.at});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_HAS(run.out, std::string("\"period\": {\n    \"name\": \"") + c.name +
                                "\",\n    \"year\": " + c.year + ",\n    \"start\": \"" + c.start +
                                "T00:00:00.000\",\n    \"end\": \"" + c.end +
                                "T00:00:00.000\"\n  },");
    }
}

TEST_F(KvnTotals, NoChartWithoutAShownExpenseCategory) {
    for (CategoryRecord& category : doc_.categories)
        category.shown = 0;
    save();
    EXPECT_HAS(kvnTotals({path_, "--period", "year"}).out, "\n  \"chart\": null\n}\n");
}

TEST_F(KvnTotals, BadInputIsRefusedOnOneLine) {
    const std::vector<std::vector<std::string>> refused = {
        {path_},
        {path_, "--period", "week"},
        {path_, "--period"},
        {path_, "--period", "month", "--period", "year"},
        {path_, "--period", "month", "--at", "2023-02-29"},
        {path_, "--period", "month", "--at", "2024-5-17"},
        {path_, "--period", "month", "--at", "2024-05-00"},
        {path_, "--period", "month", "--at", ""},
        {path_, "--period", "month", "--at", "1600-12-31"},
        {path_, "--period", "month", "--colour", "red"},
        {path_, path_, "--period", "month"},
        {"--period", "month"},
        {folder_.file("absent.kvn"), "--period", "month"},
    };
    for (const std::vector<std::string>& args : refused)
        expectRefused(kvnTotals(args));
}

} // namespace
} // namespace kolvane
