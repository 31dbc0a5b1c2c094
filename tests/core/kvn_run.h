// The kvn tool run inside the test program, its output in string streams.
#pragma once

#include "tools/kvn_commands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kolvane::kvntest {

struct KvnRun {
    int code;
    std::string out, err;
};

inline KvnRun kvn(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = runKvn(args, out, err);
    return {code, out.str(), err.str()};
}

// A refused command: exit 2, nothing on the output, exactly one line of
// explanation.
inline void expectRefused(const KvnRun& run) {
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

} // namespace kolvane::kvntest

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)
