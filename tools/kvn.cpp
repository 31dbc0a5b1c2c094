// kvn: inspect and make Kolvane account files from the command line.
#include "kvn_commands.h"

#include <iostream>

#ifdef _WIN32
#include "document/text.h"
#include <cwchar>
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(kolvane::wideToUtf8(argv[i]));
    return kolvane::runKvn(args, std::cout, std::cerr, kolvane::KvnProcess::EndsAfter);
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return kolvane::runKvn(args, std::cout, std::cerr, kolvane::KvnProcess::EndsAfter);
}
#endif
