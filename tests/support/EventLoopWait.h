#pragma once

// Waiting in a test while Qt's events keep flowing: posted events, timers and deferred
// deletions are handled between the checks.

#include <functional>

namespace tolvex::test {

// Keeps Qt's events flowing for `ms` milliseconds.
void Pump(int ms);

// Keeps Qt's events flowing until `done` holds or `timeoutMs` passed; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 60000);

}  // namespace tolvex::test
