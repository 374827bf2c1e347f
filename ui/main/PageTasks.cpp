#include "ui/main/PageTasks.h"

#include "media/EncoderSupport.h"
#include "tasks/FfmpegLocator.h"
#include "ui/main/CMainWnd.h"

namespace tolvex {

PageTasks::PageTasks(CMainWnd& window) : m_source(&window), m_host(window)
{
    PageJobFactory::Tables tables{window.mediaItems(), m_outputParams, m_splitClips, m_gifClips};
    m_factory =
        std::make_unique<PageJobFactory>(tables, m_source, &window, FfmpegProgramPath(), EncoderSupport::system());
    m_engine = std::make_unique<TaskEngine>(m_host, *m_factory);
}

PageTasks::~PageTasks()
{
    // The engine stops its jobs, releases and joins its workers before anything it uses goes.
    m_engine.reset();
    m_factory.reset();
}

int PageTasks::startWorkers()
{
    return m_engine->startWorkers();
}

void PageTasks::StopAllJobs()
{
    m_engine->StopAllJobs();
}

}  // namespace tolvex
