#pragma once

// How a page worker turns a queued task id into a command. The program's factory takes a
// snapshot of the item's inputs on the UI thread (through TaskHost) and runs the page's
// command builder; tolvex-cli's factory uses the settings given on its command line.
// Thread use: planJob is called on the page's worker thread, never with a queue lock held.

#include "tasks/JobPlan.h"
#include "tasks/TaskTypes.h"

#include <string>

namespace tolvex {

class JobFactory {
public:
    virtual ~JobFactory() = default;
    virtual JobPlan planJob(PageKind page, TaskId taskId) = 0;
    // Called on the UI thread when the engine stops, before it joins its workers: a factory
    // that waits for the UI thread inside planJob must stop waiting (and plan a Drop).
    virtual void shutdown() {}
};

}  // namespace tolvex
