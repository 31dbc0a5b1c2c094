#include "file_system.h"

namespace kolvane {

bool replaceFileContent(FileSystem& fileSystem, const std::string& path,
                        const std::vector<std::uint8_t>& bytes, const std::string& backupPath,
                        std::string* reason) {
    const std::string temporary = path + ".tmp";
    // The reason is read before the clean-up, which may fail in its own way.
    auto fail = [&](bool removeTemporary) {
        if (reason)
            *reason = fileSystem.lastError();
        if (removeTemporary)
            fileSystem.remove(temporary);
        return false;
    };
    {
        std::unique_ptr<OutputFile> file = fileSystem.create(temporary);
        if (!file)
            return fail(false);
        const bool written = file->write(bytes.data(), bytes.size()) && file->flush();
        if (!written) {
            if (reason)
                *reason = fileSystem.lastError();
            file->close();
            fileSystem.remove(temporary);
            return false;
        }
        if (!file->close())
            return fail(true);
    }
    const bool backedUp =
        backupPath.empty() || !fileSystem.exists(path) || fileSystem.keepBackup(path, backupPath);
    if (!backedUp || !fileSystem.replace(temporary, path))
        return fail(true);
    return true;
}

} // namespace kolvane
