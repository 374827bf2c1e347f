#include "tasks/RunningJob.h"

namespace tolvex {

RunningJob::RunningJob(TaskId taskId, PageKind page, std::shared_ptr<ChildProcess> process,
                       std::shared_ptr<JobControl> control, std::thread reader)
    : m_taskId(taskId),
      m_page(page),
      m_process(std::move(process)),
      m_control(std::move(control)),
      m_reader(std::move(reader))
{
}

RunningJob::~RunningJob()
{
    stop();
    join();
}

void RunningJob::stop()
{
    m_control->stop();
    m_process->kill();
}

void RunningJob::join()
{
    if (m_reader.joinable())
        m_reader.join();
}

}  // namespace tolvex
