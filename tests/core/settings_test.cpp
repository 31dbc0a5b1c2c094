#include "shell/ini_text.h"
#include "shell/settings.h"

#include "shell_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvane {
namespace {

using shelltest::Bytes;
using shelltest::MemoryFiles;

std::vector<std::string> recentList(const Settings& settings) {
    return std::vector<std::string>(settings.recentFiles.begin(),
                                    settings.recentFiles.begin() + settings.recentCount);
}

Settings withRecent(const std::vector<std::string>& paths) {
    Settings settings;
    for (std::size_t i = 0; i < paths.size(); ++i)
        settings.recentFiles[i] = paths[i];
    settings.recentCount = static_cast<int>(paths.size());
    return settings;
}

// --- Recent files ------------------------------------------------------------------

TEST(RecentFiles, SamePathInOtherCapitalsMovesToTheTopWithoutDuplicate) {
    Settings settings = withRecent({"c:\\a.KVN", "C:\\B.kvn"});
    ASSERT_TRUE(addRecentFile(settings, "C:\\A.kvn"));
    EXPECT_EQ(recentList(settings), (std::vector<std::string>{"C:\\A.kvn", "C:\\B.kvn"}));
    // From the middle: the others keep their order.
    settings = withRecent({"C:\\A.kvn", "C:\\B.kvn", "C:\\C.kvn"});
    addRecentFile(settings, "c:\\b.kvn");
    EXPECT_EQ(recentList(settings),
              (std::vector<std::string>{"c:\\b.kvn", "C:\\A.kvn", "C:\\C.kvn"}));
    // A seventh different path drops the oldest.
    settings =
        withRecent({"C:\\1.kvn", "C:\\2.kvn", "C:\\3.kvn", "C:\\4.kvn", "C:\\5.kvn", "C:\\6.kvn"});
    addRecentFile(settings, "C:\\7.kvn");
    EXPECT_EQ(recentList(settings),
              (std::vector<std::string>{"C:\\7.kvn", "C:\\1.kvn", "C:\\2.kvn", "C:\\3.kvn",
                                        "C:\\4.kvn", "C:\\5.kvn"}));
}

TEST(RecentFiles, AccentedLettersCompareWithoutCaseOthersStayApart) {
    EXPECT_TRUE(samePathNoCase("C:\\Données\\Été.kvn", "c:\\DONNÉES\\été.KVN"));
    EXPECT_TRUE(samePathNoCase("C:\\Œuvre.kvn", "c:\\œuvre.kvn"));
    EXPECT_FALSE(samePathNoCase("C:\\Ete.kvn", "C:\\Été.kvn"));
    // Both names would become "???" in Windows-1252; they are different files.
    EXPECT_FALSE(samePathNoCase("C:\\Дом.kvn", "C:\\Сад.kvn"));
    Settings settings = withRecent({"C:\\Дом.kvn"});
    addRecentFile(settings, "C:\\Сад.kvn");
    EXPECT_EQ(recentList(settings), (std::vector<std::string>{"C:\\Сад.kvn", "C:\\Дом.kvn"}));
}

TEST(RecentFiles, OverlongPathIsCutBetweenCharactersTo259) {
    Settings settings;
    std::string accented = "C:\\";
    for (int i = 0; i < 300; ++i)
        accented += "é"; // two bytes each
    addRecentFile(settings, accented);
    EXPECT_EQ(settings.recentFiles[0].size(), 3u + 256u * 2u); // 3 + 256 characters
}

// --- Settings file path ------------------------------------------------------------

TEST(SettingsPath, ExtensionOfTheProgramBecomesIni) {
    EXPECT_EQ(settingsPath("C:\\Program Files\\Kolvane\\Kolvane.exe"),
              "C:\\Program Files\\Kolvane\\Kolvane.ini");
    EXPECT_EQ(settingsPath("C:\\mes.outils\\Kolvane"), "C:\\mes.outils\\Kolvane.ini");
}

// --- Reading INI text --------------------------------------------------------------

TEST(SettingsRead, CountAboveSixReadsSixPaths) {
    std::string text = "[Fichier]\nNombre=9\n";
    for (int i = 0; i < 9; ++i)
        text += "File" + std::to_string(i) + "=C:\\" + std::to_string(i) + ".kvn\n";
    Settings settings = settingsFromIniText(text);
    EXPECT_EQ(settings.recentCount, 6);
    EXPECT_EQ(settings.recentFiles[5], "C:\\5.kvn");
    // Keys at or beyond the count are not read.
    settings = settingsFromIniText("[Fichier]\nNombre=1\nFile0=C:\\A.kvn\nFile1=C:\\Vieux.kvn\n");
    EXPECT_EQ(recentList(settings), (std::vector<std::string>{"C:\\A.kvn"}));
    EXPECT_EQ(settings.recentFiles[1], "");
    EXPECT_EQ(settingsFromIniText("[Fichier]\nNombre=-3\nFile0=C:\\A.kvn\n").recentCount, 0);
}

TEST(SettingsRead, OwnSectionFirstKeyNamesWithoutCaseValuesWithoutBlanksAndQuotes) {
    Settings settings = settingsFromIniText("[Autre]\nHaut=50\n  [ fenetre ]  \n  gauche =  -20  \n"
                                            ";Haut=60\nHAUT=+7\nHaut=8\n[FICHIER]\nnombre=1\n"
                                            "file0=\"C:\\Mes comptes.kvn\"\n");
    EXPECT_EQ(settings.left, -20);
    EXPECT_EQ(settings.top, 7);
    EXPECT_EQ(recentList(settings), (std::vector<std::string>{"C:\\Mes comptes.kvn"}));
    EXPECT_EQ(iniValue("[F]\nA=\"\nB='x'\n", "F", "A"), "\""); // one quote is no pair
    EXPECT_EQ(iniValue("[F]\nA=\"\nB='x'\n", "F", "B"), "x");
}

// --- Writing INI text --------------------------------------------------------------

TEST(SettingsWrite, StaleFileKeysBeyondTheCountStayInTheFile) {
    const std::string earlier = "[Fichier]\r\nNombre=3\r\nFile0=C:\\X.kvn\r\nFile1=C:\\Y.kvn\r\n"
                                "File2=C:\\Z.kvn\r\nFile7=C:\\Vieux.kvn\r\n";
    Settings settings = withRecent({"C:\\A.kvn"});
    std::string text = updateIniText(earlier, settings);
    EXPECT_EQ(iniValue(text, "Fichier", "Nombre"), "1");
    EXPECT_EQ(iniValue(text, "Fichier", "File0"), "C:\\A.kvn");
    EXPECT_EQ(iniValue(text, "Fichier", "File1"), "C:\\Y.kvn");
    EXPECT_EQ(iniValue(text, "Fichier", "File2"), "C:\\Z.kvn");
    EXPECT_EQ(iniValue(text, "Fichier", "File7"), "C:\\Vieux.kvn");
    EXPECT_EQ(recentList(settingsFromIniText(text)), (std::vector<std::string>{"C:\\A.kvn"}));
}

TEST(SettingsWrite, UnknownLinesCommentsAndKeySpellingAreKept) {
    const std::string earlier = "; réglages\r\n[Autre]\r\nCle=valeur\r\n\r\n[fenetre]\r\n"
                                "gauche = 5\r\nZoom=2\r\n\r\n[Fin]\r\nX=1\r\n";
    Settings settings;
    settings.left = 40;
    std::string text = updateIniText(earlier, settings);
    EXPECT_EQ(text, "; réglages\r\n[Autre]\r\nCle=valeur\r\n\r\n[fenetre]\r\ngauche=40\r\n"
                    "Zoom=2\r\nPleinEcran=0\r\nHaut=0\r\nDroite=790\r\nBas=575\r\n\r\n"
                    "[Fin]\r\nX=1\r\n\r\n[Fichier]\r\nNombre=0\r\n");
}

// --- CSV layouts per account ---------------------------------------------------------

TEST(CsvLayoutSettings, KeptPerAccountMostRecentFirstAndReadBack) {
    Settings settings;
    EXPECT_EQ(rememberedCsvLayout(settings, "Compte courant"), "");
    rememberCsvLayout(settings, "Compte courant", "sep=;|roles=date");
    rememberCsvLayout(settings, "Livret A", "sep=,|roles=label");
    rememberCsvLayout(settings, "Compte courant", "sep=tab|roles=amount"); // replaces, goes first
    ASSERT_EQ(settings.csvLayouts.size(), 2u);
    EXPECT_EQ(settings.csvLayouts[0].first, "Compte courant");
    EXPECT_EQ(rememberedCsvLayout(settings, "Compte courant"), "sep=tab|roles=amount");
    EXPECT_EQ(rememberedCsvLayout(settings, "compte courant"), ""); // names as they are

    const std::string text = updateIniText("", settings);
    EXPECT_EQ(iniValue(text, "Import", "Nombre"), "2");
    EXPECT_EQ(iniValue(text, "Import", "Compte1"), "Livret A");
    EXPECT_EQ(iniValue(text, "Import", "Colonnes1"), "sep=,|roles=label");
    EXPECT_EQ(settingsFromIniText(text).csvLayouts, settings.csvLayouts);
    // No section at all for someone who never imported a CSV file.
    EXPECT_FALSE(iniValue(updateIniText("", Settings()), "Import", "Nombre"));
}

TEST(CsvLayoutSettings, TheLeastRecentAccountDropsOutOfAFullList) {
    Settings settings;
    for (int i = 0; i <= kMaxCsvLayouts; ++i)
        rememberCsvLayout(settings, "Compte " + std::to_string(i), "sep=;");
    ASSERT_EQ(settings.csvLayouts.size(), static_cast<std::size_t>(kMaxCsvLayouts));
    EXPECT_EQ(settings.csvLayouts.front().first, "Compte 20");
    EXPECT_EQ(settings.csvLayouts.back().first, "Compte 1");
    // The count says how many entries are read; an entry without a name is not one.
    const struct {
        const char* count;
        std::vector<std::string> names;
    } cases[] = {{"Nombre=99\n", {"A", "C"}}, {"Nombre=2\n", {"A"}}, {"Nombre=-1\n", {}}, {"", {}}};
    for (const auto& c : cases) {
        const Settings read = settingsFromIniText(std::string("[Import]\n") + c.count +
                                                  "Compte0=A\nColonnes0=x\nCompte1=\nColonnes1=y\n"
                                                  "Compte2=C\nColonnes2=z\n");
        std::vector<std::string> names;
        for (const auto& entry : read.csvLayouts)
            names.push_back(entry.first);
        EXPECT_EQ(names, c.names) << c.count;
    }
}

// --- The file's encoding -----------------------------------------------------------

TEST(IniEncoding, WrittenAsUtf16LittleEndianWithItsMark) {
    EXPECT_EQ(encodeIniFile("a=é"), (Bytes{0xFF, 0xFE, 'a', 0, '=', 0, 0xE9, 0}));
    // A character beyond the first plane takes a surrogate pair: U+1D11E.
    EXPECT_EQ(encodeIniFile("\xF0\x9D\x84\x9E"), (Bytes{0xFF, 0xFE, 0x34, 0xD8, 0x1E, 0xDD}));
}

TEST(IniEncoding, EveryFormAUserMayLeaveIsRead) {
    EXPECT_EQ(decodeIniFile(Bytes{0xFF, 0xFE, 'a', 0, 0xE9, 0, 0x34, 0xD8, 0x1E, 0xDD}),
              "aé\xF0\x9D\x84\x9E");
    EXPECT_EQ(decodeIniFile(Bytes{0xFE, 0xFF, 0, 'a', 0, 0xE9}), "aé");
    EXPECT_EQ(decodeIniFile(Bytes{0xFE, 0xFF, 0xDB, 0xFF, 0xDF, 0xFF}), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(decodeIniFile(Bytes{0xFE, 0xFF}), ""); // the mark alone: an empty file
    EXPECT_EQ(decodeIniFile(Bytes{0xFF, 0xFE}), "");
    EXPECT_EQ(decodeIniFile(Bytes{0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9}), "aé");
    EXPECT_EQ(decodeIniFile(Bytes{'a', 0x80}), "a€"); // not UTF-8: Windows-1252
    // Only well-formed UTF-8 is taken as it is; anything else is read as
    // Windows-1252, which changes every byte from 0x80 up.
    const std::pair<const char*, bool> texts[] = {
        {"\xC2\x80", true},
        {"\xC1\xBF", false}, // overlong two bytes
        {"\xE0\xA0\x80", true},
        {"\xE0\x9F\xBF", false}, // U+0800, overlong
        {"\xED\x9F\xBF", true},
        {"\xED\xA0\x80", false}, // U+D7FF, a surrogate
        {"\xED\xBF\xBF", false},
        {"\xEE\x80\x80", true}, // a surrogate, U+E000
        {"\xF0\x90\x80\x80", true},
        {"\xF0\x8F\xBF\xBF", false}, // U+10000, overlong
        {"\xF4\x8F\xBF\xBF", true},
        {"\xF4\x90\x80\x80", false}, // U+10FFFF, beyond
        {"\xF8\x88\x80\x80\x80", false},
        {"\xC3(", false}, // five bytes, bad follower
        {"a\xE2\x82", false},
        {"\xA9", false}, // cut short, a lone follower
    };
    for (const auto& [text, wellFormed] : texts) {
        const std::string raw(text);
        EXPECT_EQ(decodeIniFile(Bytes(raw.begin(), raw.end())) == raw, wellFormed) << raw;
    }
}

// --- The file ----------------------------------------------------------------------

const std::string kIniPath = "C:\\Kolvane\\Kolvane.ini";

// The default rectangle: a window without width or height in the file, or no
// file at all.
TEST(SettingsFile, MissingFileOrEmptyWindowGivesTheDefaults) {
    MemoryFiles files;
    for (const Settings& settings :
         {loadSettings(files, kIniPath),
          settingsFromIniText("[Fenetre]\nGauche=500\nHaut=10\nDroite=400\nBas=300\n")}) {
        EXPECT_EQ(settings.fullScreen, 0);
        EXPECT_EQ(settings.left, 0);
        EXPECT_EQ(settings.top, 0);
        EXPECT_EQ(settings.right, 790);
        EXPECT_EQ(settings.bottom, 575);
        EXPECT_EQ(settings.recentCount, 0);
    }
}

TEST(SettingsFile, WrittenSettingsReadBackWithAccentedPaths) {
    MemoryFiles files;
    Settings settings = withRecent({"C:\\Données\\Été.kvn", "C:\\Дом.kvn"});
    settings.fullScreen = 1; // a maximised window keeps its normal rectangle
    settings.left = 8;
    settings.top = 9;
    settings.right = 600;
    settings.bottom = 400;
    ASSERT_TRUE(saveSettings(files, kIniPath, settings));
    EXPECT_EQ(files.files.size(), 1u); // no temporary file left

    Settings back = loadSettings(files, kIniPath);
    EXPECT_EQ(back.fullScreen, 1);
    EXPECT_EQ(back.left, 8);
    EXPECT_EQ(back.top, 9);
    EXPECT_EQ(back.right, 600);
    EXPECT_EQ(back.bottom, 400);
    EXPECT_EQ(recentList(back), recentList(settings));
}

TEST(SettingsFile, UnreadableOrFailedWriteLeavesThePreviousFileWhole) {
    MemoryFiles files;
    files.unreadable.insert(kIniPath);
    EXPECT_FALSE(saveSettings(files, kIniPath, Settings()));
    EXPECT_EQ(files.files.count(kIniPath), 0u);
    files.unreadable.clear();
    const Bytes previous = encodeIniFile("[Fenetre]\r\nGauche=3\r\n");
    files.files[kIniPath] = previous;
    Settings settings;
    settings.left = 99;

    for (FailStep step : {FailStep::Create, FailStep::Write, FailStep::Replace}) {
        files.failAt = step;
        EXPECT_FALSE(saveSettings(files, kIniPath, settings));
        EXPECT_EQ(files.files[kIniPath], previous);
        EXPECT_EQ(files.files.size(), 1u);
    }
}

} // namespace
} // namespace kolvane
