// Shared pieces of the shell's tests.
#pragma once

#include "memory_file_system.h"

#include <vector>

namespace kolvane::shelltest {

using Bytes = std::vector<std::uint8_t>;
using MemoryFiles = MemoryFileSystem;

} // namespace kolvane::shelltest
