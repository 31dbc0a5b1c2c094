#include "file_system.h"

namespace kolvane {

bool replaceFileContent(FileSystem& fileSystem, const std::string& path,
                        const std::vector<std::uint8_t>& bytes, const std::string& backupPath) {
    const std::string temporary = path + ".tmp";
    {
        std::unique_ptr<OutputFile> file = fileSystem.create(temporary);
        if (!file)
            return false;
        const bool written = file->write(bytes.data(), bytes.size()) && file->flush();
        const bool closed = file->close();
        if (!written || !closed) {
            fileSystem.remove(temporary);
            return false;
        }
    }
    const bool backedUp =
        backupPath.empty() || !fileSystem.exists(path) || fileSystem.keepBackup(path, backupPath);
    if (!backedUp || !fileSystem.replace(temporary, path)) {
        fileSystem.remove(temporary);
        return false;
    }
    return true;
}

} // namespace kolvane
