#include "platform/Wildcard.h"

#include <gtest/gtest.h>

namespace {

using platform::WildcardMatches;

TEST(Wildcard, StarTakesAnyRunAndQuestionMarkOneCharacter)
{
    EXPECT_TRUE(WildcardMatches("G.ztb", "G*.ztb"));
    EXPECT_TRUE(WildcardMatches("G1.ztb.ztb", "G*.ztb"));
    EXPECT_FALSE(WildcardMatches("G100.ztbak", "G*.ztb"));
    EXPECT_FALSE(WildcardMatches("XG100.ztb", "G*.ztb"));
    EXPECT_TRUE(WildcardMatches("G12.ztb", "G??.ztb"));
    EXPECT_FALSE(WildcardMatches("G1.ztb", "G??.ztb"));
    EXPECT_FALSE(WildcardMatches("G123.ztb", "G??.ztb"));
    EXPECT_TRUE(WildcardMatches("", "*"));
    EXPECT_FALSE(WildcardMatches("", "?"));
    EXPECT_TRUE(WildcardMatches("abcab", "*ab"));
    EXPECT_TRUE(WildcardMatches("aXbYb", "a*b*b"));
    EXPECT_FALSE(WildcardMatches("aXbY", "a*b*b"));
}

TEST(Wildcard, LettersMatchWithoutRegardToCaseOtherBytesExactly)
{
    EXPECT_TRUE(WildcardMatches("g100.ZTB", "G*.ztb"));
    EXPECT_FALSE(WildcardMatches("a_b", "a-b"));
    EXPECT_TRUE(WildcardMatches("\xe4.ztb", "\xe4.ZTB"));
}

}  // namespace
