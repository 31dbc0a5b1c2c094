#include "file_system.h"

namespace kolvane {

ReadResult FileSystem::readAll(const std::string& path, std::vector<std::uint8_t>& out,
                               std::uint64_t maxSize) {
    std::unique_ptr<InputFile> file = open(path);
    if (!file)
        return ReadResult::CannotOpen;
    if (file->size() > maxSize)
        return ReadResult::TooLarge;
    out.resize(static_cast<std::size_t>(file->size()));
    return file->read(out.data(), out.size()) ? ReadResult::Ok : ReadResult::ReadError;
}

bool replaceFileContent(FileSystem& fileSystem, const std::string& path,
                        const std::vector<std::uint8_t>& bytes, const std::string& backupPath,
                        std::string* reason) {
    return replaceFileContent(
        fileSystem, path,
        [&bytes](OutputFile& file) { return file.write(bytes.data(), bytes.size()); },
        backupPath, reason);
}

bool replaceFileContent(FileSystem& fileSystem, const std::string& path,
                        const ContentWriter& writeContent, const std::string& backupPath,
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
        const bool written = writeContent(*file) && file->flush();
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
