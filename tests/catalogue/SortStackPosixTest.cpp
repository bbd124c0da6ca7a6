// The sort on its worst input inside a thread with a small stack: a sort
// that recursed into every left part would need some 1,500 frames here.
#include <gtest/gtest.h>

#include <pthread.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/SortEntries.h"

namespace {

// The worst input is built by letting the sort itself choose, comparison by
// comparison, values that make each pivot the greatest entry left (McIlroy's
// "antiquicksort" adversary, mirrored). Every partition then leaves nearly
// all entries in its left part, the part a plain quicksort recurses into.
struct Adversary {
    std::vector<int> value;  // -1 while not fixed: less than every fixed value
    int nextValue = 0;       // fixed values are handed out downwards
    int candidate = -1;
    long long comparisons = 0;
};
Adversary* adversary = nullptr;

// Entries are told apart by their file names, the numbers 0 .. count - 1.
bool AdversaryLess(const CatalogueEntry& a, const CatalogueEntry& b) {
    Adversary& s = *adversary;
    ++s.comparisons;
    const int x = std::stoi(a.FileName);
    const int y = std::stoi(b.FileName);
    if (s.value[x] < 0 && s.value[y] < 0) s.value[x == s.candidate ? x : y] = s.nextValue--;
    if (s.value[x] < 0) {
        s.candidate = x;
    } else if (s.value[y] < 0) {
        s.candidate = y;
    }
    if (s.value[y] < 0) return false;
    if (s.value[x] < 0) return true;
    return s.value[x] < s.value[y];
}

// Zero-padded so that byte order is numeric order.
std::string Key(int value) {
    char key[16];
    std::snprintf(key, sizeof key, "%08d", value);
    return key;
}

// count entries whose descriptions are the keys 0 .. count - 1 in the
// adversarial order; comparisons receives what the probing sort needed.
std::vector<CatalogueEntry> AdversarialEntries(int count, long long& comparisons) {
    Adversary probe;
    probe.value.assign(count, -1);
    probe.nextValue = count - 1;
    adversary = &probe;
    std::vector<CatalogueEntry> entries(count);
    for (int k = 0; k < count; ++k) entries[k].FileName = std::to_string(k);
    SortEntries(entries, 0, count - 1, AdversaryLess);
    adversary = nullptr;
    comparisons = probe.comparisons;

    // The probe moved the entries; put them back in file name order.
    for (int k = 0; k < count; ++k) {
        if (probe.value[k] < 0) probe.value[k] = probe.nextValue--;
        entries[k].FileName = std::to_string(k);
        entries[k].Description = Key(probe.value[k]);
    }
    return entries;
}

void* SortJob(void* argument) {
    std::vector<CatalogueEntry>& entries = *static_cast<std::vector<CatalogueEntry>*>(argument);
    SortEntries(entries, 0, static_cast<int>(entries.size()) - 1, DescriptionLess);
    return nullptr;
}

}  // namespace

TEST(SortEntriesStack, WorstInputSortsOnASmallStack) {
    const int count = 3000;
    long long comparisons = 0;
    std::vector<CatalogueEntry> entries = AdversarialEntries(count, comparisons);
    // Quadratic: each partition sheds only an entry or two, so a sort that
    // recursed into the left part would go count / 2 levels deep.
    ASSERT_GT(comparisons, 1LL * count * count / 8);

    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 64 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, SortJob, &entries), 0);
    ASSERT_EQ(pthread_join(thread, nullptr), 0);
    pthread_attr_destroy(&attributes);
    for (int k = 0; k < count; ++k) ASSERT_EQ(entries[k].Description, Key(k));
}
