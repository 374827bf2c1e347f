#include "HeadlessMedia.h"

#include "tests/support/TestMedia.h"

#include <QFile>

#include <chrono>
#include <thread>

namespace tolvex::test {

std::string HeadlessMedia::make(const std::string& name, const std::vector<std::string>& arguments)
{
    std::string path = m_dir.filePath(QString::fromStdString(name)).toStdString();
    if (QFile::exists(QString::fromStdString(path)))
        return path;
    std::vector<std::string> args{"-v", "error"};
    args.insert(args.end(), arguments.begin(), arguments.end());
    args.push_back(path);
    return RunFfmpeg(args) ? path : std::string();
}

bool PollUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace tolvex::test
