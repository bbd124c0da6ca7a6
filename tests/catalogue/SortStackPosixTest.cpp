// The sort on its worst input inside a thread with a small stack: a sort
// that recursed into every left part would need some 1,500 frames here.
#include <gtest/gtest.h>

#include <pthread.h>

#include "tests/catalogue/AdversarialEntries.h"

namespace {

struct Job {
    std::vector<CatalogueEntry> entries;
};

void* SortJob(void* argument) {
    Job& job = *static_cast<Job*>(argument);
    SortEntries(job.entries, 0, static_cast<int>(job.entries.size()) - 1, DescriptionLess);
    return nullptr;
}

}  // namespace

TEST(SortEntriesStack, WorstInputSortsOnASmallStack) {
    Job job;
    job.entries = AdversarialEntries(3000, nullptr);
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 64 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, SortJob, &job), 0);
    ASSERT_EQ(pthread_join(thread, nullptr), 0);
    pthread_attr_destroy(&attributes);
    for (std::size_t k = 0; k < job.entries.size(); ++k) {
        ASSERT_EQ(job.entries[k].Description, AdversarialKey(static_cast<int>(k)));
    }
}
