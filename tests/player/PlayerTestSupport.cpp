#include "PlayerTestSupport.h"

#include "player/PlaybackClock.h"
#include "tests/support/TestMedia.h"
#include "tests/support/X11TestRun.h"

#include <QApplication>
#include <QFile>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tolvex::test {

MediaFolder::MediaFolder() = default;

std::string MediaFolder::path(const QString& name) const
{
    return m_dir.filePath(name).toStdString();
}

bool MediaFolder::make(const QString& name, const QStringList& arguments)
{
    const QString file = m_dir.filePath(name);
    if (QFile::exists(file))
        return true;
    std::vector<std::string> args{"-v", "error"};
    for (const QString& argument : arguments + QStringList{file})
        args.push_back(argument.toStdString());
    return RunFfmpeg(args);
}

VideoWindow::VideoWindow(int width, int height) : m_window(std::make_unique<QWidget>())
{
    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_area = new CVideoArea(m_window.get());
    layout->addWidget(m_area);
    m_window->resize(width, height);
    m_window->show();
    WaitFor([this] { return m_area->displayWidth() > 0 && m_window->isVisible(); }, 2000);
    Pump(100);
}

VideoWindow::~VideoWindow() = default;

double WallSeconds()
{
    return PlaybackClock::now();
}

int RunPlayerTests(int argc, char** argv)
{
    return RunTestsOnX11(argc, argv);
}

}  // namespace tolvex::test
