#include "settings.h"

#include "ini_text.h"

#include "document/text.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace kolvane {
namespace {

// Settings files are a few hundred bytes; anything far larger is not ours.
constexpr std::uint64_t kMaxSettingsFileSize = 1 << 20;

// Keeps at most kMaxRecentPathLength characters, cutting between characters.
std::string limitPath(std::string_view path) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if ((static_cast<unsigned char>(path[i]) & 0xC0) == 0x80)
            continue; // continuation byte of the same character
        if (characters == kMaxRecentPathLength)
            return std::string(path.substr(0, i));
        ++characters;
    }
    return std::string(path);
}

// One character folded to capitals the way Windows-1252 letters fold; other
// characters are kept as they are.
wchar_t foldCharacter(wchar_t c) {
    std::string single = wideToCp1252(std::wstring_view(&c, 1));
    if (single.size() != 1 || (single[0] == '?' && c != L'?'))
        return c;
    return static_cast<wchar_t>(
        cp1252ToWide(
            std::string(1, static_cast<char>(upperCp1252(static_cast<unsigned char>(single[0])))))
            .front());
}

std::string indexedKey(const char* name, int index) {
    char digits[12];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, index);
    (void)error;
    std::string key = name;
    key.append(digits, end);
    return key;
}

std::string fileKey(int index) {
    return indexedKey("File", index);
}

std::string decimal(int value) {
    char digits[12];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    return std::string(digits, end);
}

} // namespace

bool samePathNoCase(std::string_view a, std::string_view b) {
    std::wstring wa = utf8ToWide(a), wb = utf8ToWide(b);
    if (wa.size() != wb.size())
        return false;
    for (std::size_t i = 0; i < wa.size(); ++i)
        if (wa[i] != wb[i] && foldCharacter(wa[i]) != foldCharacter(wb[i]))
            return false;
    return true;
}

bool addRecentFile(Settings& settings, std::string_view path) {
    if (path.empty())
        return false;
    const std::string added = limitPath(path);
    std::vector<std::string> previous(settings.recentFiles.begin(),
                                      settings.recentFiles.begin() +
                                          std::clamp(settings.recentCount, 0, kMaxRecentFiles));
    settings.recentFiles.fill(std::string());
    settings.recentFiles[0] = added;
    settings.recentCount = 1;
    for (const std::string& entry : previous) {
        if (settings.recentCount == kMaxRecentFiles)
            break; // the oldest entries drop out
        if (samePathNoCase(entry, added))
            continue;
        settings.recentFiles[static_cast<std::size_t>(settings.recentCount++)] = entry;
    }
    return true;
}

bool removeRecentFile(Settings& settings, int index) {
    const int count = std::clamp(settings.recentCount, 0, kMaxRecentFiles);
    if (index < 0 || index >= count)
        return false;
    for (int i = index; i + 1 < count; ++i)
        settings.recentFiles[static_cast<std::size_t>(i)] =
            std::move(settings.recentFiles[static_cast<std::size_t>(i + 1)]);
    settings.recentFiles[static_cast<std::size_t>(count - 1)].clear();
    settings.recentCount = count - 1;
    return true;
}

std::string rememberedCsvLayout(const Settings& settings, std::string_view accountName) {
    for (const auto& [name, layout] : settings.csvLayouts)
        if (name == accountName)
            return layout;
    return {};
}

void rememberCsvLayout(Settings& settings, std::string_view accountName,
                       std::string_view layoutText) {
    auto& layouts = settings.csvLayouts;
    std::erase_if(layouts, [&](const auto& entry) { return entry.first == accountName; });
    layouts.insert(layouts.begin(), {std::string(accountName), std::string(layoutText)});
    if (layouts.size() > static_cast<std::size_t>(kMaxCsvLayouts))
        layouts.resize(kMaxCsvLayouts);
}

std::string settingsPath(std::string_view executablePath) {
    std::size_t nameStart = executablePath.find_last_of("\\/");
    nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
    std::size_t dot = executablePath.rfind('.');
    std::string_view stem = executablePath;
    if (dot != std::string_view::npos && dot >= nameStart)
        stem = executablePath.substr(0, dot);
    return std::string(stem) + ".ini";
}

Settings settingsFromIniText(std::string_view text) {
    Settings settings;
    auto read = [&](const char* section, const char* key, int& field) {
        if (std::optional<int> value = iniInteger(text, section, key))
            field = *value;
    };
    read(kWindowSection, "PleinEcran", settings.fullScreen);
    read(kWindowSection, "Gauche", settings.left);
    read(kWindowSection, "Haut", settings.top);
    read(kWindowSection, "Droite", settings.right);
    read(kWindowSection, "Bas", settings.bottom);
    if (settings.right <= settings.left || settings.bottom <= settings.top) {
        // A window without width or height could not be seen nor grabbed.
        settings.left = kDefaultLeft;
        settings.top = kDefaultTop;
        settings.right = kDefaultRight;
        settings.bottom = kDefaultBottom;
    }
    settings.fullScreen = settings.fullScreen != 0 ? 1 : 0;

    int count = 0;
    read(kFileSection, "Nombre", count);
    settings.recentCount = std::clamp(count, 0, kMaxRecentFiles);
    for (int i = 0; i < settings.recentCount; ++i)
        settings.recentFiles[static_cast<std::size_t>(i)] =
            limitPath(iniValue(text, kFileSection, fileKey(i)).value_or(std::string()));

    int layouts = 0;
    read(kImportSection, "Nombre", layouts);
    for (int i = 0; i < std::clamp(layouts, 0, kMaxCsvLayouts); ++i) {
        std::optional<std::string> name = iniValue(text, kImportSection, indexedKey("Compte", i));
        std::optional<std::string> layout =
            iniValue(text, kImportSection, indexedKey("Colonnes", i));
        if (name && layout && !name->empty())
            settings.csvLayouts.emplace_back(std::move(*name), std::move(*layout));
    }
    return settings;
}

std::string updateIniText(std::string_view existingText, const Settings& settings) {
    std::string text(existingText);
    text = setIniValue(text, kWindowSection, "PleinEcran", decimal(settings.fullScreen));
    text = setIniValue(text, kWindowSection, "Gauche", decimal(settings.left));
    text = setIniValue(text, kWindowSection, "Haut", decimal(settings.top));
    text = setIniValue(text, kWindowSection, "Droite", decimal(settings.right));
    text = setIniValue(text, kWindowSection, "Bas", decimal(settings.bottom));
    const int count = std::clamp(settings.recentCount, 0, kMaxRecentFiles);
    text = setIniValue(text, kFileSection, "Nombre", decimal(count));
    for (int i = 0; i < count; ++i)
        text = setIniValue(text, kFileSection, fileKey(i),
                           limitPath(settings.recentFiles[static_cast<std::size_t>(i)]));
    const int layouts =
        static_cast<int>(std::min<std::size_t>(settings.csvLayouts.size(), kMaxCsvLayouts));
    if (layouts == 0 && !iniValue(text, kImportSection, "Nombre"))
        return text; // no section for those who never imported a CSV file
    text = setIniValue(text, kImportSection, "Nombre", decimal(layouts));
    for (int i = 0; i < layouts; ++i) {
        const auto& [name, layout] = settings.csvLayouts[static_cast<std::size_t>(i)];
        text = setIniValue(text, kImportSection, indexedKey("Compte", i), name);
        text = setIniValue(text, kImportSection, indexedKey("Colonnes", i), layout);
    }
    return text;
}

Settings loadSettings(FileSystem& fileSystem, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (fileSystem.readAll(path, bytes, kMaxSettingsFileSize) != ReadResult::Ok)
        return Settings();
    return settingsFromIniText(decodeIniFile(bytes));
}

bool saveSettings(FileSystem& fileSystem, const std::string& path, const Settings& settings) {
    std::string existing;
    std::vector<std::uint8_t> bytes;
    ReadResult read = fileSystem.readAll(path, bytes, kMaxSettingsFileSize);
    if (read == ReadResult::Ok)
        existing = decodeIniFile(bytes);
    else if (read != ReadResult::CannotOpen || fileSystem.exists(path))
        return false;

    const std::vector<std::uint8_t> image = encodeIniFile(updateIniText(existing, settings));
    return replaceFileContent(fileSystem, path, image);
}

} // namespace kolvane
