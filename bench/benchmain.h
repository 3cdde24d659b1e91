#pragma once

#include <functional>

namespace lexordo::bench {

// Runs the registered benchmarks inside an application on the offscreen
// platform (screens are made without a display); `beforeExit` lets go of what
// the benchmarks kept open.
int runWithApplication(int argc, char **argv, const std::function<void()> &beforeExit = {});

} // namespace lexordo::bench
