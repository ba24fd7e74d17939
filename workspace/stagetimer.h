#pragma once
// The stage times of a run's summary, from a clock the caller may inject.

#include <chrono>
#include <utility>

#include "interchange/runsummary.h"
#include "workspace/driver.h"

// Ends each stage of the summary at the clock's reading.
class StageTimer {
public:
    explicit StageTimer(StageClock clock) : clock_(std::move(clock)), start_(clock_()), lastMark_(start_) {}

    void close(RunSummary& summary, StageRecord stage, const char* name)
    {
        const double now = clock_();
        stage.name = name;
        stage.seconds = now - lastMark_;
        lastMark_ = now;
        summary.stages.push_back(std::move(stage));
        summary.totalSeconds = now - start_;
    }

private:
    StageClock clock_;
    double start_;
    double lastMark_;
};

inline double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
