// iterate_generic, served in PF_InData's utils and as the "PF Iterate8
// Suite" (version 1), and the thread count of the "AEGP Iterate Suite"
// (version 1). The iterations run concurrently on real threads: the calling
// thread is thread 0 and the others are started for the call; each thread
// takes the next iteration not yet taken, so which thread runs which
// iteration varies from call to call, as it does in an application.

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "AE_EffectCBSuites.h"
#include "installers.h"

namespace host {
namespace {

PF_Err iterateGeneric(A_long iterations, void* refcon, PF_IterateGenericFunc fn) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return PF_Err_INVALID_CALLBACK;
    }
    if (const PF_Err err = host->enter("iterate_generic", [&] { return "iterations=" + std::to_string(iterations); })) {
        return err;
    }
    if (!fn || iterations < PF_Iterations_ONCE_PER_PROCESSOR) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const int threads = host->threadCount();
    const A_long count = iterations == PF_Iterations_ONCE_PER_PROCESSOR ? threads : iterations;
    std::vector<PF_Err> results(static_cast<std::size_t>(count), PF_Err_NONE);
    std::atomic<A_long> next{0};
    const auto work = [&](A_long threadIndex) {
        for (A_long i = next++; i < count; i = next++) {
            try {
                results[static_cast<std::size_t>(i)] = fn(refcon, threadIndex, i, count);
            } catch (...) {
                host->note("iteration " + std::to_string(i) + " of iterate_generic threw");
                results[static_cast<std::size_t>(i)] = PF_Err_INTERNAL_STRUCT_DAMAGED;
            }
        }
    };
    std::vector<std::thread> workers;
    const A_long started = std::min<A_long>(threads, count);
    for (A_long t = 1; t < started; ++t) {
        try {
            workers.emplace_back([&work, host, t] {
                const Host::Impl::Running scope(*host);
                work(t);
            });
        } catch (const std::system_error&) {
            break;  // the threads already running take the rest
        }
    }
    work(0);
    for (std::thread& worker : workers) {
        worker.join();
    }
    // The error of the lowest iteration that failed, so that the answer does
    // not depend on which thread was quicker.
    for (const PF_Err err : results) {
        if (err) {
            return err;
        }
    }
    return PF_Err_NONE;
}

A_Err getNumThreads(A_long* threads) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return A_Err_GENERIC;
    }
    if (const PF_Err err = host->enter("AEGP_GetNumThreads", "")) {
        return err;
    }
    if (!threads) {
        return A_Err_PARAMETER;
    }
    *threads = host->threadCount();
    return A_Err_NONE;
}

const PF_Iterate8Suite1 kIterate8Suite = {iterateGeneric};
const AEGP_IterateSuite1 kThreadCountSuite = {getNumThreads};

}  // namespace

int RenderSettings::threadsFor(int set) {
    if (set > 0) {
        return set;
    }
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void Host::setThreadCount(int count) {
    impl_->render.threads = std::max(count, 0);
}

int Host::threadCount() const {
    return impl_->render.threadCount();
}

void installIterate(Host::Impl& host) {
    host.utils.iterate_generic = iterateGeneric;
    host.suites.add(kPFIterate8Suite, kPFIterate8SuiteVersion1, &kIterate8Suite);
    host.suites.add(kAEGPIterateSuite, kAEGPIterateSuiteVersion1, &kThreadCountSuite);
}

}  // namespace host
