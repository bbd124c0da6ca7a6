#include "catalogue/SortEntries.h"

#include <cstring>
#include <utility>

bool DescriptionLess(const CatalogueEntry& a, const CatalogueEntry& b) {
    // std::string compares through char_traits<char>, which orders by
    // unsigned byte value; a proper beginning sorts first.
    return a.Description.compare(b.Description) < 0;
}

// The quicksort with the middle entry as pivot. Each pass partitions
// entries lo..hi exactly as the classic loop does; the smaller side is then
// sorted by recursion and the larger one by the next pass of the loop, so
// the recursion never goes deeper than log2 of the entry count. Which side
// is sorted first does not change the result: the two sides are disjoint.
void SortEntries(std::vector<CatalogueEntry>& entries, int lo, int hi, EntryLess less) {
    while (lo < hi) {
        int i = lo;
        int j = hi;
        // The pivot entry is compared where it stands instead of as a copy:
        // a swap that moves it moves its place along, so every comparison
        // sees the same value a copy would hold.
        std::size_t pivot = static_cast<std::size_t>(lo + (hi - lo) / 2);
        do {
            while (less(entries[static_cast<std::size_t>(i)], entries[pivot]) && i < hi) ++i;
            while (less(entries[pivot], entries[static_cast<std::size_t>(j)]) && j > lo) --j;
            if (i <= j) {
                const auto left = static_cast<std::size_t>(i);
                const auto right = static_cast<std::size_t>(j);
                std::swap(entries[left], entries[right]);
                if (pivot == left) {
                    pivot = right;
                } else if (pivot == right) {
                    pivot = left;
                }
                ++i;
                --j;
            }
        } while (i <= j);

        // Left part lo..j (when lo < j), right part i..hi (when i < hi).
        if (j - lo < hi - i) {
            if (lo < j) SortEntries(entries, lo, j, less);
            lo = i;
        } else {
            if (i < hi) SortEntries(entries, i, hi, less);
            hi = j;
        }
    }
}
