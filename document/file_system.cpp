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
                        const std::vector<std::uint8_t>& bytes, const std::string& backupPath) {
    return replaceFileContent(
        fileSystem, path,
        [&bytes](OutputFile& file) { return file.write(bytes.data(), bytes.size()); }, backupPath);
}

bool replaceFileContent(FileSystem& fileSystem, const std::string& path,
                        const ContentWriter& writeContent, const std::string& backupPath) {
    const std::string temporary = path + ".tmp";
    {
        std::unique_ptr<OutputFile> file = fileSystem.create(temporary);
        if (!file)
            return false;
        const bool written = writeContent(*file) && file->flush();
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
