// Every load, also one that ends in the error abort, gives its file back:
// the number of open descriptors is the same before and after.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "tablefile/ZtbWriter.h"
#include "testkit/TempFolder.h"
#include "testkit/LoadCapture.h"

namespace {

std::ptrdiff_t OpenDescriptors() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
}

TEST(LoaderHandleTest, NoDescriptorIsLeftOpen) {
    TempFolder folder;
    ZtbWriter good("Good", 1002);
    good.AddRecord(0);
    ZtbWriter badRecord = good;
    badRecord.Record(0).Length = 1600;
    ZtbWriter badFill = good;
    ClearExposureValues(badFill.Record(0));
    badFill.Record(0).Resolution = 3;  // warned about, then the fill aborts
    ASSERT_TRUE(good.WriteTo(folder.Path("good.ztb")));
    ASSERT_TRUE(badRecord.WriteTo(folder.Path("record.ztb")));
    ASSERT_TRUE(badFill.WriteTo(folder.Path("fill.ztb")));

    const std::ptrdiff_t before = OpenDescriptors();
    for (const char* name : {"good.ztb", "record.ztb", "fill.ztb", "missing.ztb"}) {
        const LoadOutcome outcome = LoadFile(folder.Path(name));
        EXPECT_EQ(outcome.loaded, std::string(name) == "good.ztb") << name << ": " << outcome.message;
        EXPECT_EQ(OpenDescriptors(), before) << name;
    }
}

}  // namespace
