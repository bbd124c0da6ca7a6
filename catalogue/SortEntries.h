// Ordering of catalogue entries by description.
#pragma once

#include <vector>

#include "catalogue/CatalogueEntry.h"

using EntryLess = bool (*)(const CatalogueEntry&, const CatalogueEntry&);

// Byte-wise comparison of the descriptions (unsigned, case-sensitive; a
// proper beginning of the other text is the lesser).
bool DescriptionLess(const CatalogueEntry& a, const CatalogueEntry& b);

// Sorts entries lo to hi (inclusive, lo <= hi) in place: a quicksort with
// the middle entry as pivot. Not stable; equal entries end adjacent in the
// order these steps give, which the lists show.
void SortEntries(std::vector<CatalogueEntry>& entries, int lo, int hi, EntryLess less);
