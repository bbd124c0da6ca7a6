#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/SortEntries.h"
#include "tests/catalogue/AdversarialEntries.h"

namespace {

CatalogueEntry Entry(const std::string& description, const std::string& fileName = "") {
    CatalogueEntry entry;
    entry.Description = description;
    entry.FileName = fileName;
    return entry;
}

std::vector<std::string> Descriptions(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> texts;
    for (const CatalogueEntry& entry : entries) texts.push_back(entry.Description);
    return texts;
}

std::vector<std::string> FileNames(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> names;
    for (const CatalogueEntry& entry : entries) names.push_back(entry.FileName);
    return names;
}

void SortAll(std::vector<CatalogueEntry>& entries) {
    SortEntries(entries, 0, static_cast<int>(entries.size()) - 1, DescriptionLess);
}

// The quicksort in its first form, recursing into the left part and looping
// on the right, to show that the bounded-depth sort leaves every entry,
// equal descriptions included, where this one does.
void ReferenceSort(std::vector<CatalogueEntry>& a, int lo, int hi) {
    for (;;) {
        int i = lo;
        int j = hi;
        const CatalogueEntry pivot = a[static_cast<std::size_t>((lo + hi) / 2)];
        do {
            while (DescriptionLess(a[static_cast<std::size_t>(i)], pivot) && i < hi) ++i;
            while (DescriptionLess(pivot, a[static_cast<std::size_t>(j)]) && j > lo) --j;
            if (i <= j) {
                std::swap(a[static_cast<std::size_t>(i)], a[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j) ReferenceSort(a, lo, j);
        if (i >= hi) return;
        lo = i;
    }
}

}  // namespace

TEST(DescriptionLess, ByteOrderCapitalsFirst) {
    std::vector<CatalogueEntry> entries = {Entry("Slide 100"), Entry("Print 50"), Entry("print 25")};
    SortAll(entries);
    EXPECT_EQ(Descriptions(entries), (std::vector<std::string>{"Print 50", "Slide 100", "print 25"}));
}

TEST(DescriptionLess, UnsignedBytesAndProperBeginnings) {
    EXPECT_TRUE(DescriptionLess(Entry("Print"), Entry("Print 50")));
    EXPECT_FALSE(DescriptionLess(Entry("Print 50"), Entry("Print")));
    EXPECT_FALSE(DescriptionLess(Entry("Same"), Entry("Same")));
    EXPECT_TRUE(DescriptionLess(Entry(""), Entry("A")));
    // 0xE9 (an accented letter in the 8-bit character set) sorts after 'z'.
    EXPECT_TRUE(DescriptionLess(Entry("z"), Entry("\xE9")));
    EXPECT_FALSE(DescriptionLess(Entry("\xE9"), Entry("z")));
}

TEST(SortEntries, EqualDescriptionsEndAdjacentInTheQuicksortOrder) {
    std::vector<CatalogueEntry> entries = {Entry("B", "1"), Entry("A", "2"), Entry("B", "3"),
                                           Entry("A", "4"), Entry("B", "5")};
    SortAll(entries);
    EXPECT_EQ(Descriptions(entries), (std::vector<std::string>{"A", "A", "B", "B", "B"}));
    // Pivot "B": the partition exchanges entries 0 and 4, then 2 and 3;
    // the parts 0..2 and 3..4 are then sorted as they fall.
    EXPECT_EQ(FileNames(entries), (std::vector<std::string>{"4", "2", "5", "1", "3"}));
}

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
        std::vector<CatalogueEntry> expected = entries;
        ReferenceSort(expected, 0, count - 1);
        SortAll(entries);
        ASSERT_EQ(FileNames(entries), FileNames(expected)) << "round " << round;
    }
}

TEST(SortEntries, SortsARangeOnly) {
    std::vector<CatalogueEntry> entries = {Entry("z"), Entry("c"), Entry("b"), Entry("a"), Entry("0")};
    SortEntries(entries, 1, 3, DescriptionLess);
    EXPECT_EQ(Descriptions(entries), (std::vector<std::string>{"z", "a", "b", "c", "0"}));
}

TEST(SortEntries, AdversarialInputIsSortedWithoutDeepRecursion) {
    const int count = 3000;
    long long comparisons = 0;
    std::vector<CatalogueEntry> entries = AdversarialEntries(count, &comparisons);
    // Quadratic: each partition sheds only an entry or two, so a sort that
    // recursed into the left part would go count / 2 levels deep.
    EXPECT_GT(comparisons, 1LL * count * count / 8);
    SortAll(entries);
    for (int k = 0; k < count; ++k) {
        ASSERT_EQ(entries[static_cast<std::size_t>(k)].Description, AdversarialKey(k));
    }
}
