// Copying and moving to fresh names, which are taken exactly as written:
// the same results natively and under Wine.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/Tables.h"
#include "testkit/TempFolder.h"

namespace {


const std::string kSep(1, platform::kPathSeparator);
const std::vector<unsigned char> kSourceBytes = {'Z', 'T', 'B', 0, 1, 2, 3};
const std::vector<unsigned char> kTakenBytes = {9, 9};

TEST(FreshNameTest, CopyTakesOnlyAFreeNameAndLeavesNothingOnFailure)
{
    TempFolder temp;
    const std::string source = temp.Path("source.ztb");
    ASSERT_TRUE(platform::WriteWholeFile(source, kSourceBytes));
    ASSERT_TRUE(SetTimesOf(source, {0, 0, kTableTime}));

    ASSERT_TRUE(platform::CopyFileNoReplace(source, temp.Path(".fresh.tmp")));
    EXPECT_EQ(platform::ReadWholeFile(temp.Path(".fresh.tmp")), kSourceBytes);
    EXPECT_EQ(TimesOf(temp.Path(".fresh.tmp")).lastWrite, kTableTime);

    // A taken name keeps its bytes.
    ASSERT_TRUE(platform::WriteWholeFile(temp.Path("taken.tmp"), kTakenBytes));
    EXPECT_FALSE(platform::CopyFileNoReplace(source, temp.Path("taken.tmp")));
    EXPECT_EQ(platform::ReadWholeFile(temp.Path("taken.tmp")), kTakenBytes);

    // A missing source or folder, or a folder as the source, leaves no file behind.
    EXPECT_FALSE(platform::CopyFileNoReplace(temp.Path("missing.ztb"), temp.Path("none.tmp")));
    ASSERT_TRUE(platform::CreateFolder(temp.Path("Folder")));
    EXPECT_FALSE(platform::CopyFileNoReplace(temp.Path("Folder"), temp.Path("none.tmp")));
    EXPECT_FALSE(platform::PathExists(temp.Path("none.tmp")));
    EXPECT_FALSE(platform::CopyFileNoReplace(source, temp.Path("Missing") + kSep + "none.tmp"));
    EXPECT_EQ(platform::ReadWholeFile(source), kSourceBytes);
}

TEST(FreshNameTest, MoveToAFreeNameNeverReplaces)
{
    TempFolder temp;
    ASSERT_TRUE(platform::WriteWholeFile(temp.Path(".copy.tmp"), kSourceBytes));
    ASSERT_TRUE(platform::WriteWholeFile(temp.Path("taken.ztb"), kTakenBytes));

    EXPECT_FALSE(platform::MoveFileToFreeName(temp.Path(".copy.tmp"), temp.Path("taken.ztb")));
    EXPECT_EQ(platform::ReadWholeFile(temp.Path(".copy.tmp")), kSourceBytes);
    EXPECT_EQ(platform::ReadWholeFile(temp.Path("taken.ztb")), kTakenBytes);

    ASSERT_TRUE(platform::MoveFileToFreeName(temp.Path(".copy.tmp"), temp.Path("Table.ztb")));
    EXPECT_FALSE(platform::PathExists(temp.Path(".copy.tmp")));
    EXPECT_EQ(platform::ReadWholeFile(temp.Path("Table.ztb")), kSourceBytes);
}

}  // namespace
