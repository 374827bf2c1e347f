#pragma once

// Media for the player tests that need no display: made once per test program with the real
// ffmpeg into a temporary folder, and waiting on a condition without an event loop.

#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

namespace tolvex::test {

class HeadlessMedia {
public:
    // The file `name` made with ffmpeg from these arguments (the file is added last) unless
    // it exists already; empty when ffmpeg failed.
    std::string make(const std::string& name, const std::vector<std::string>& arguments);

private:
    QTemporaryDir m_dir;
};

// Polls `done` every millisecond until it holds or `timeoutMs` passed; returns done().
bool PollUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace tolvex::test
