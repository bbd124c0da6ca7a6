// Only a name written as temporary copies are named gives the process that
// made it, so the sweep (a row of the fault table) removes nothing else.
#include <gtest/gtest.h>

#include "install/TemporaryCopies.h"

TEST(TemporaryCopies, OnlyNamesWrittenAsTheCopiesAreNamedGiveAMaker) {
    EXPECT_EQ(TemporaryCopyProcessId(TemporaryCopyName(1234, 7)), 1234u);
    EXPECT_EQ(TemporaryCopyProcessId(TemporaryCopyName(0xFFFFFFFFu, 2147483647)), 0xFFFFFFFFu);
    // Both numbers go through one parser: its rules are tried on the process id.
    for (const char* name :
        {".~ztbinstall-7.tmp", ".~ztbinstall-12-.tmp", ".~ztbinstall-012-7.tmp", ".~ztbinstall-0-7.tmp",
            ".~ztbinstall-4294967296-7.tmp", ".~ztbinstall-12-2147483648.tmp", ".~ztbinstall-99999999999-7.tmp",
            ".~ztbinstall-+12-7.tmp", ".~ztbinstall-1 2-7.tmp", ".~ztbinstall-12-7-1.tmp", ".~ztbinstall-12-7.tmp.ztb",
            ".~ZTBINSTALL-12-7.TMP", "x.~ztbinstall-12-7.tmp", ".~ztbinstall-.tmp"}) {
        EXPECT_FALSE(TemporaryCopyProcessId(name).has_value()) << name;
    }
}
