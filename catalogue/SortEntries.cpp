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
        const CatalogueEntry pivot = entries[static_cast<std::size_t>(lo + (hi - lo) / 2)];
        do {
            while (less(entries[static_cast<std::size_t>(i)], pivot) && i < hi) ++i;
            while (less(pivot, entries[static_cast<std::size_t>(j)]) && j > lo) --j;
            if (i <= j) {
                std::swap(entries[static_cast<std::size_t>(i)], entries[static_cast<std::size_t>(j)]);
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
