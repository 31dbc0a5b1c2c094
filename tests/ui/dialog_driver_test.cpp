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

bool contains(const ::testing::AssertionResult& result, const std::string& part) {
    return std::string(result.message()).find(part) != std::string::npos;
}

TEST(DialogDriver, EveryMistakeFailsTheRunWithItsReasonAndEndsTheDialog) {
    using Steps = std::function<void(DialogDriver&)>;
    struct Case {
        Steps steps;
        bool showsForm; // else the code shows nothing, or its own message box
        const char* reason;
    };
    const Case cases[] = {
        {[](DialogDriver&) {}, true, "unexpected dialog 9001"},
        {[](DialogDriver& d) { d.expectDialog(IDD_TEST_FORM).click(IDOK); }, false,
         "step 1 (dialog 9001) never appeared"},
        {[](DialogDriver& d) {
             d.expectDialog(IDD_TEST_FORM).click(IDC_TEST_DISABLED).click(IDOK);
         },
         true, "action 1: control 9109 is disabled"},
        {[](DialogDriver& d) {
             d.expectDialog(IDD_TEST_FORM).expectText(IDC_TEST_EDIT, L"autre chose");
         },
         true, "control 9101 shows \"\", expected \"autre chose\""},
        {[](DialogDriver& d) {
             d.expectDialog(IDD_TEST_FORM).selectCombo(IDC_TEST_LIST_COMBO, 3);
         },
         true, "control 9103 has no entry 3 (it has 3)"},
        {[](DialogDriver& d) { d.expectDialog(IDD_TEST_FORM).click(4242); }, true,
         "there is no control 4242"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TestForm form;
        DialogDriver driver;
        c.steps(driver);
        int result = -5;
        const auto start = std::chrono::steady_clock::now();
        auto run = driver.run([&] {
            if (c.showsForm)
                result = form.runModal(nullptr, IDD_TEST_FORM);
        });
        EXPECT_FALSE(run);
        EXPECT_TRUE(contains(run, c.reason)) << run.message();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        if (c.showsForm) {
            EXPECT_EQ(result, IDCANCEL); // ended by the driver
            EXPECT_FALSE(form.received(IDOK, BN_CLICKED));
        }
    }
    DialogDriver driver;
    driver.expectMessageBox(L"Bonjour").press(IDOK);
    auto run = driver.run([] { MessageBoxW(nullptr, L"Bonjour", L"Autre titre", MB_OK); });
    EXPECT_FALSE(run);
    EXPECT_TRUE(contains(run, "titled \"Autre titre\"")) << run.message();
}

TEST(DialogDriver, FailsWhenTheExpectedDialogDoesNotComeWithinTheTimeOut) {
    DialogDriver driver(std::chrono::milliseconds(300));
    driver.expectDialog(IDD_TEST_MISSING).click(IDOK);
    int answer = 0;
    auto result =
        driver.run([&] { answer = win::showMessage(nullptr, L"Personne ne répond ici."); });
    EXPECT_FALSE(result);
    // The message names what was on the screen instead.
    EXPECT_TRUE(contains(result, "step 1 (dialog 9099) did not appear within 300 ms; shown: "
                                 "message box \"Kolvane v.Alpha\" saying \"Personne ne "
                                 "r\xC3\xA9pond ici.\""))
        << result.message();
    EXPECT_EQ(answer, IDCANCEL); // ended by the driver
}

} // namespace
} // namespace kolvane::uitest
