#include "engine/shannon/sidebyside.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <future>
#include <thread>
#include <vector>

namespace {

std::atomic<int> busyHelpers{0};

int helperLimit()
{
    static const int limit = std::max(0, static_cast<int>(std::thread::hardware_concurrency()) - 1);
    return limit;
}

bool takeHelper()
{
    int busy = busyHelpers.load();
    while (busy < helperLimit())
        if (busyHelpers.compare_exchange_weak(busy, busy + 1))
            return true;
    return false;
}

}  // namespace

void runSideBySide(std::span<const std::function<void()>> tasks)
{
    // The caller and the helpers it gets take the tasks in turn, so a slow task
    // does not leave the others queued behind it on one thread.
    std::atomic<std::size_t> next{0};
    std::vector<std::exception_ptr> failures(tasks.size());
    auto work = [&] {
        for (std::size_t k = next++; k < tasks.size(); k = next++) {
            try {
                tasks[k]();
            } catch (...) {
                failures[k] = std::current_exception();
            }
        }
    };
    std::vector<std::future<void>> helpers;
    while (helpers.size() + 1 < tasks.size() && takeHelper())
        helpers.push_back(std::async(std::launch::async, [&work] {
            struct Release {
                ~Release() { --busyHelpers; }
            } release;
            work();
        }));
    work();
    for (std::future<void>& helper : helpers)
        helper.get();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}
