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
    std::vector<std::future<void>> helped;
    std::exception_ptr failure;
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        if (k + 1 < tasks.size() && takeHelper()) {
            helped.push_back(std::async(std::launch::async, [&task = tasks[k]] {
                struct Release {
                    ~Release() { --busyHelpers; }
                } release;
                task();
            }));
            continue;
        }
        try {
            tasks[k]();
        } catch (...) {
            failure = failure ? failure : std::current_exception();
        }
    }
    for (std::future<void>& done : helped) {
        try {
            done.get();
        } catch (...) {
            failure = failure ? failure : std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}
