// The main window's placement and the recently saved account files, kept
// between runs in an INI file beside the program.
#pragma once

#include "document/file_system.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolvane {

inline constexpr int kMaxRecentFiles = 6;
// A recent path holds at most this many characters (a Windows path buffer less
// its terminator).
inline constexpr std::size_t kMaxRecentPathLength = 259;

// The CSV layouts chosen in the import preview are kept for this many
// accounts, the most recently used first.
inline constexpr int kMaxCsvLayouts = 20;

inline constexpr int kDefaultLeft = 0;
inline constexpr int kDefaultTop = 0;
inline constexpr int kDefaultRight = 790;
inline constexpr int kDefaultBottom = 575;

struct Settings {
    int fullScreen = 0; // 1 when the main window was maximised
    // The last normal rectangle of the main window, screen coordinates.
    int left = kDefaultLeft;
    int top = kDefaultTop;
    int right = kDefaultRight;
    int bottom = kDefaultBottom;
    int recentCount = 0;
    std::array<std::string, kMaxRecentFiles> recentFiles; // UTF-8, most recent first
    // Account name (UTF-8) and the text of the CSV layout last imported
    // into it (csvLayoutText), the most recent first.
    std::vector<std::pair<std::string, std::string>> csvLayouts;
};

// Section and key names of the INI file.
inline constexpr const char* kWindowSection = "Fenetre";
inline constexpr const char* kFileSection = "Fichier";
inline constexpr const char* kImportSection = "Import";

// Puts `path` first; the earlier entries follow in their order, without those
// equal to `path` compared without regard to case. When the list is full the
// oldest entry drops out. False (nothing changed) for an empty path.
bool addRecentFile(Settings& settings, std::string_view path);

// Removes entry `index`; the later entries move up. False for an index
// outside the list.
bool removeRecentFile(Settings& settings, int index);

// The CSV layout remembered for the account of that name, or an empty text.
std::string rememberedCsvLayout(const Settings& settings, std::string_view accountName);
// Remembers `layoutText` for the account, first in the list; the account
// used least recently drops out when the list is full.
void rememberCsvLayout(Settings& settings, std::string_view accountName,
                       std::string_view layoutText);

// True when the two paths name the same file for Windows: equal without
// regard to case.
bool samePathNoCase(std::string_view a, std::string_view b);

// The program's path with its extension replaced by ".ini".
std::string settingsPath(std::string_view executablePath);

// The settings that INI text describes; missing or unreadable keys keep their
// defaults ("[Import]": "Nombre", then "Compte%i" and "Colonnes%i"). A "Nombre" above 6 reads 6 paths; keys "File%i" at or beyond the
// count are not read. A rectangle without width or height gives the default one.
Settings settingsFromIniText(std::string_view text);

// `existingText` with our keys set to `settings`; every other line is kept,
// "File%i" keys at or beyond the count included.
std::string updateIniText(std::string_view existingText, const Settings& settings);

// Reads the INI file; a missing or unreadable file gives the defaults.
Settings loadSettings(FileSystem& fileSystem, const std::string& path);

// Rewrites the INI file through a temporary file, keeping the lines we do not
// own. A file that exists but cannot be read is left alone (false), so that
// nothing of it is lost; so is the file when any step of the write fails.
bool saveSettings(FileSystem& fileSystem, const std::string& path, const Settings& settings);

} // namespace kolvane
