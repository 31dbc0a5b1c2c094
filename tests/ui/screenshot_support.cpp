#include "tests/ui/screenshot_support.h"

#include "tests/ui/dialog_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace kolvane::uitest {
namespace {

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::wstring shotFolder() {
    const wchar_t* folder = _wgetenv(L"KOLVANE_SHOT_DIR");
    return folder ? folder : L"";
}

void waitForShot(const std::wstring& folder, const wchar_t* name, HWND area) {
    if (area)
        RedrawWindow(area, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(300)); // let it paint
    // Written aside, then renamed: the script never reads half a file.
    const std::wstring ready = folder + L"\\ready-" + name;
    FILE* out = _wfopen((ready + L".tmp").c_str(), L"w");
    ASSERT_NE(out, nullptr);
    if (area) {
        RECT frame{};
        GetWindowRect(area, &frame);
        std::fprintf(out, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top);
    }
    std::fclose(out);
    MoveFileW((ready + L".tmp").c_str(), ready.c_str());
    const std::wstring done = folder + L"\\done-" + name;
    EXPECT_TRUE(pumpMessagesUntil([&] { return fileExists(done); }, std::chrono::seconds(60)))
        << "no picture";
}

} // namespace kolvane::uitest
