#pragma once
// Independent pieces of the route's work run on helper threads while any core is free.

#include <functional>
#include <span>

// Runs every task and returns when all are done; each but the last runs on a
// helper thread when fewer helpers than the machine's other cores are busy
// (over the whole process), else in the calling thread. The tasks must not
// touch the same data. An exception of a task is thrown here, after all ended.
void runSideBySide(std::span<const std::function<void()>> tasks);
