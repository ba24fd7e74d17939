#pragma once
// Work on a thread of its own while the caller's presentation answers its
// user: the progress bar, the Cancel button and the window kept live.

#include <atomic>
#include <chrono>
#include <functional>
#include <future>

#include "platform/presentation.h"

// Shows the progress bar (maximum `steps`; 0 is a bar that only moves) and the
// Cancel button, then waits for `work`, every 30 ms calling `look` (which
// returns the steps done), letting the presentation answer and turning a
// Cancel into `stop`, which the work watches. Hides both again and returns the
// work's result or throws what it threw. The work must have ended before its
// captures go, so whatever the presentation throws stops and awaits it first.
template <class Result>
Result waitBeside(std::future<Result>& work, Presentation& ui, int steps, std::atomic<bool>& stop,
                  const std::function<int()>& look)
{
    constexpr std::chrono::milliseconds lookInterval{30};
    ui.setProgressMaximum(steps);
    ui.setProgressPosition(0);
    ui.setProgressVisible(true);
    ui.setCancelVisible(true);
    try {
        while (work.wait_for(lookInterval) != std::future_status::ready) {
            ui.setProgressPosition(look());
            ui.keepAnswering();
            if (!stop && ui.cancelRequested())
                stop = true;
        }
        look();
    } catch (...) {
        stop = true;
        work.wait();
        throw;
    }
    ui.setCancelVisible(false);
    ui.setProgressVisible(false);
    ui.setProgressPosition(0);
    return work.get();
}
