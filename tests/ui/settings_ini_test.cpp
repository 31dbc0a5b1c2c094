// The settings file as Windows itself reads and writes it: what we write must
// be what the private-profile functions read back, accented paths included,
// and what they write must be what we read.
#include "shell/settings.h"

#include "document/file_system.h"
#include "document/text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace kolvane {
namespace {

TEST(SettingsIni, WindowsReadsWhatWeWriteAndWeReadWhatItWrites) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"kolvane_settings_test.ini";
    const std::string path = wideToUtf8(file);
    DeleteFileW(file.c_str());
    const auto profileString = [&](const wchar_t* section, const wchar_t* key) {
        wchar_t value[300] = {};
        GetPrivateProfileStringW(section, key, L"", value, 300, file.c_str());
        return std::wstring(value);
    };
    const auto profileInt = [&](const wchar_t* section, const wchar_t* key) {
        return static_cast<int>(GetPrivateProfileIntW(section, key, -1, file.c_str()));
    };
    Settings settings;
    settings.fullScreen = 1;
    settings.left = 10, settings.top = 20, settings.right = 830, settings.bottom = 620;
    addRecentFile(settings, "C:\\Comptes\\Дом.kvn");
    addRecentFile(settings, "C:\\Données\\Été 2026.kvn");
    ASSERT_TRUE(saveSettings(platformFileSystem(), path, settings));
    const std::pair<const wchar_t*, int> numbers[] = {
        {L"PleinEcran", 1}, {L"Gauche", 10}, {L"Haut", 20}, {L"Droite", 830}, {L"Bas", 620}};
    for (auto [key, value] : numbers)
        EXPECT_EQ(profileInt(L"Fenetre", key), value) << wideToUtf8(key);
    EXPECT_EQ(profileInt(L"Fichier", L"Nombre"), 2);
    EXPECT_EQ(profileString(L"Fichier", L"File0"), L"C:\\Données\\Été 2026.kvn");
    EXPECT_EQ(profileString(L"Fichier", L"File1"), L"C:\\Comptes\\Дом.kvn");

    // Windows writing into the Unicode file our save started.
    WritePrivateProfileStringW(L"Fichier", L"File0", L"D:\\Épargne.kvn", file.c_str());
    settings = loadSettings(platformFileSystem(), path);
    ASSERT_EQ(settings.recentCount, 2);
    EXPECT_EQ(settings.recentFiles[0], "D:\\Épargne.kvn");
    EXPECT_EQ(settings.recentFiles[1], "C:\\Comptes\\Дом.kvn");
    DeleteFileW(file.c_str());
}

} // namespace
} // namespace kolvane
