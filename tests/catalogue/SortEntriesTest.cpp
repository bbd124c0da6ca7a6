#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/SortEntries.h"
#include "testkit/Tables.h"

namespace {

CatalogueEntry Entry(const std::string& description, const std::string& fileName = "") {
    CatalogueEntry entry;
    entry.Description = description;
    entry.FileName = fileName;
    return entry;
}

// The quicksort in its first form, recursing into the left part and looping
// on the right, to show that the bounded-depth sort leaves every entry,
// equal descriptions included, where this one does.
void ReferenceSort(std::vector<CatalogueEntry>& a, int lo, int hi) {
    for (;;) {
        int i = lo;
        int j = hi;
        const CatalogueEntry pivot = a[(lo + hi) / 2];
        do {
            while (DescriptionLess(a[i], pivot) && i < hi) ++i;
            while (DescriptionLess(pivot, a[j]) && j > lo) --j;
            if (i <= j) std::swap(a[i++], a[j--]);
        } while (i <= j);
        if (lo < j) ReferenceSort(a, lo, j);
        if (i >= hi) return;
        lo = i;
    }
}

}  // namespace

TEST(DescriptionLess, UnsignedBytesAndProperBeginnings) {
    EXPECT_TRUE(DescriptionLess(Entry("Print"), Entry("Print 50")));
    EXPECT_FALSE(DescriptionLess(Entry("Print 50"), Entry("Print")));
    EXPECT_FALSE(DescriptionLess(Entry("Same"), Entry("Same")));
    // 0xE9 (an accented letter in the 8-bit character set) sorts after 'z'.
    EXPECT_TRUE(DescriptionLess(Entry("z"), Entry("\xE9")));
    EXPECT_FALSE(DescriptionLess(Entry("\xE9"), Entry("z")));
}

// Random ranges of random entries with many equal descriptions; what lies
// outside the range stays where it was.
TEST(SortEntries, SameOrderAsTheRecursiveQuicksort) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + static_cast<int>(random() % 60);
        const int distinct = 1 + static_cast<int>(random() % 6);
        std::vector<CatalogueEntry> entries;
        for (int k = 0; k < count; ++k) {
            entries.push_back(Entry(std::string(1, static_cast<char>('a' + random() % distinct)),
                                    std::to_string(k)));
        }
        const int lo = static_cast<int>(random() % static_cast<unsigned>(count));
        const int hi = lo + static_cast<int>(random() % static_cast<unsigned>(count - lo));
        std::vector<CatalogueEntry> expected = entries;
        ReferenceSort(expected, lo, hi);
        SortEntries(entries, lo, hi, DescriptionLess);
        ASSERT_EQ(FileNames(entries), FileNames(expected)) << "round " << round;
    }
}
