#include "ui/net/ProgramExit.h"

#include <glog/logging.h>

#include <cstdio>
#include <iostream>

#include <unistd.h>

namespace tolvex {

namespace {

std::function<void(int)>& ExitHook()
{
    static std::function<void(int)> hook;
    return hook;
}

}  // namespace

void EndProgramNow(int code)
{
    if (ExitHook()) {
        ExitHook()(code);
        return;
    }
    std::cout.flush();
    std::fflush(nullptr);
    google::FlushLogFiles(google::GLOG_INFO);
    _exit(code);
}

void SetProgramExitHook(std::function<void(int)> hook)
{
    ExitHook() = std::move(hook);
}

}  // namespace tolvex
