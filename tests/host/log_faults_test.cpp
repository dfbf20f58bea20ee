// The call log and the fault plan under concurrent use.

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "host/call_log.h"
#include "host/faults.h"

namespace {

template <typename F>
void onThreads(int threads, F body) {
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back(body, t);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

TEST(CallLog, KeepsEveryRecordFromConcurrentCallers) {
    host::CallLog log;
    log.setRecording(true);
    onThreads(4, [&](int t) {
        for (int i = 0; i < 1000; ++i) {
            log.record(t % 2 ? "odd" : "even", std::to_string(i));
        }
    });
    EXPECT_EQ(log.calls().size(), 4000u);
    EXPECT_EQ(log.count("odd"), 2000u);
    log.clear();
    EXPECT_TRUE(log.names().empty());
}

TEST(Faults, PlannedFailureFiresExactlyOnceAcrossThreads) {
    host::Faults faults;
    faults.onCall("x");
    faults.failCall("x", 500, 7);
    std::atomic<int> failures{0};
    onThreads(4, [&](int) {
        for (int i = 0; i < 250; ++i) {
            if (faults.onCall("x") == 7) {
                ++failures;
            }
        }
    });
    EXPECT_EQ(failures, 1);
}

TEST(Faults, UnavailabilityByVersionAndClearing) {
    host::Faults faults;
    faults.makeUnavailable("A", 2);
    faults.makeUnavailable("B");
    EXPECT_TRUE(faults.unavailable("A", 2));
    EXPECT_FALSE(faults.unavailable("A", 1));
    EXPECT_TRUE(faults.unavailable("B", 9));
    faults.failCall("x", 1, 3);
    faults.clear();
    EXPECT_FALSE(faults.unavailable("B", 9));
    EXPECT_EQ(faults.onCall("x"), 0);
    EXPECT_THROW(faults.failCall("x", 0, 3), std::invalid_argument);
}

}  // namespace
