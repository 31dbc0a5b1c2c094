// What the program does at start-up before any window: common controls and
// window classes, once for all UI tests.
#include "shell/main_window.h"

#include <gtest/gtest.h>

namespace {

class UiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        kolvane::win::initCommonControls();
        ASSERT_TRUE(kolvane::win::registerWindowClasses(GetModuleHandleW(nullptr)));
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new UiEnvironment);

} // namespace
