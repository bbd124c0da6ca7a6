// Entries against which the middle-pivot quicksort is at its worst: built
// by letting the sort itself choose, comparison by comparison, values that
// make each pivot the greatest entry left (McIlroy's "antiquicksort"
// adversary, mirrored). Every partition then leaves nearly all entries in
// its left part, the part a plain quicksort recurses into.
#pragma once

#include <string>
#include <vector>

#include "catalogue/SortEntries.h"

namespace adversarial_detail {

struct State {
    std::vector<int> value;  // -1 while not fixed: less than every fixed value
    int nextValue = 0;       // fixed values are handed out downwards
    int candidate = -1;
    long long comparisons = 0;
};
inline State* state = nullptr;

inline int IdOf(const CatalogueEntry& entry) {
    int id = 0;
    for (char c : entry.FileName) id = id * 10 + (c - '0');
    return id;
}

inline bool Less(const CatalogueEntry& a, const CatalogueEntry& b) {
    State& s = *state;
    ++s.comparisons;
    const std::size_t x = static_cast<std::size_t>(IdOf(a));
    const std::size_t y = static_cast<std::size_t>(IdOf(b));
    if (s.value[x] < 0 && s.value[y] < 0) {
        const std::size_t frozen = static_cast<int>(x) == s.candidate ? x : y;
        s.value[frozen] = s.nextValue--;
    }
    if (s.value[x] < 0) {
        s.candidate = static_cast<int>(x);
    } else if (s.value[y] < 0) {
        s.candidate = static_cast<int>(y);
    }
    if (s.value[y] < 0) return false;
    if (s.value[x] < 0) return true;
    return s.value[x] < s.value[y];
}

}  // namespace adversarial_detail

// Zero-padded so that byte order is numeric order.
inline std::string AdversarialKey(int value) {
    std::string key = std::to_string(value);
    return std::string(key.size() < 8 ? 8 - key.size() : 0, '0') + key;
}

// count entries whose descriptions are the keys 0 .. count - 1 in the
// adversarial order; comparisons receives what the probing sort needed.
inline std::vector<CatalogueEntry> AdversarialEntries(int count, long long* comparisons) {
    adversarial_detail::State probeState;
    probeState.value.assign(static_cast<std::size_t>(count), -1);
    probeState.nextValue = count - 1;
    adversarial_detail::state = &probeState;
    std::vector<CatalogueEntry> probe(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) probe[static_cast<std::size_t>(k)].FileName = std::to_string(k);
    SortEntries(probe, 0, count - 1, adversarial_detail::Less);
    adversarial_detail::state = nullptr;
    for (int& v : probeState.value) {
        if (v < 0) v = probeState.nextValue--;
    }
    if (comparisons != nullptr) *comparisons = probeState.comparisons;

    std::vector<CatalogueEntry> entries(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        entries[static_cast<std::size_t>(k)].Description =
            AdversarialKey(probeState.value[static_cast<std::size_t>(k)]);
        entries[static_cast<std::size_t>(k)].FileName = std::to_string(k);
    }
    return entries;
}
