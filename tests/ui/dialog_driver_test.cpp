// The dialog driver itself: every way of going wrong ends in a failed run,
// not in a hung test (every other UI test shows that it fills and answers).
#include "win/window_text.h"
#include "tests/ui/dialog_driver.h"
#include "tests/ui/test_form.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace kolvane::uitest {
namespace {

TEST(DialogDriver, EveryMistakeFailsTheRunWithItsReasonAndEndsTheDialog) {
    struct Case {
        std::function<void(DialogDriver&)> steps;
        std::function<int(TestForm&)> code; // what the code under test shows
        const char* reason;
    };
    const auto form = [](TestForm& f) { return f.runModal(nullptr, IDD_TEST_FORM); };
    const Case cases[] = {
        {[](DialogDriver&) {}, form, "unexpected dialog 9001"},
        {[](DialogDriver& d) { d.expectDialog(IDD_TEST_FORM).click(IDOK); },
         [](TestForm&) { return IDCANCEL; }, "step 1 (dialog 9001) never appeared"},
        {[](DialogDriver& d) {
             d.expectDialog(IDD_TEST_FORM).click(IDC_TEST_DISABLED).click(IDOK);
         },
         form, "action 1: control 9109 is disabled"},
        {[](DialogDriver& d) { d.expectDialog(IDD_TEST_MISSING).click(IDOK); },
         [](TestForm&) { return win::showMessage(nullptr, L"Personne ne répond ici."); },
         "step 1 (dialog 9099) did not appear within 300 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TestForm testForm;
        DialogDriver driver(std::chrono::milliseconds(300));
        c.steps(driver);
        int result = 0;
        const auto start = std::chrono::steady_clock::now();
        const auto run = driver.run([&] { result = c.code(testForm); });
        EXPECT_FALSE(run);
        EXPECT_NE(std::string(run.message()).find(c.reason), std::string::npos) << run.message();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(result, IDCANCEL); // ended by the driver
        EXPECT_FALSE(testForm.okClicked);
    }
}

} // namespace
} // namespace kolvane::uitest
