#pragma once
// Independent pieces of the route's work run on helper threads while any core is free.

#include <functional>
#include <span>

// Runs every task and returns when all are done: the calling thread and as many
// helper threads as the machine has other cores free (counted over the whole
// process) take them in turn. The tasks must not touch the same data. The
// first task's exception, if any, is thrown here after all ended.
void runSideBySide(std::span<const std::function<void()>> tasks);
