#include "platform/Wildcard.h"

#include <gtest/gtest.h>

namespace {

// "*" takes any run, "?" one character; letters match without regard to
// case, other bytes exactly.
const struct {
    const char* name;
    const char* pattern;
    bool matches;
} kCases[] = {
    {"G.ztb", "G*.ztb", true},     {"G1.ztb.ztb", "G*.ztb", true}, {"G100.ztbak", "G*.ztb", false},
    {"XG100.ztb", "G*.ztb", false}, {"G12.ztb", "G??.ztb", true},  {"G1.ztb", "G??.ztb", false},
    {"G123.ztb", "G??.ztb", false}, {"", "*", true},               {"", "?", false},
    {"abcab", "*ab", true},         {"aXbYb", "a*b*b", true},      {"aXbY", "a*b*b", false},
    {"g100.ZTB", "G*.ztb", true},   {"a_b", "a-b", false},         {"\xe4.ztb", "\xe4.ZTB", true},
};

TEST(Wildcard, MatchesAsTheSystemsSearchDoes)
{
    for (const auto& test : kCases) {
        EXPECT_EQ(platform::WildcardMatches(test.name, test.pattern), test.matches) << test.name << " ~ " << test.pattern;
    }
}

}  // namespace
