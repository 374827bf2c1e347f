#include "tasks/RunningJob.h"

namespace tolvex {

RunningJob::RunningJob(TaskId taskId, PageKind page, uint64_t serial, std::shared_ptr<JobProcess> process,
                       std::shared_ptr<JobControl> control, std::shared_ptr<JobOutputs> outputs, std::thread reader)
    : m_taskId(taskId),
      m_page(page),
      m_serial(serial),
      m_process(std::move(process)),
      m_control(std::move(control)),
      m_outputs(std::move(outputs)),
      m_reader(std::move(reader))
{
}

RunningJob::~RunningJob()
{
    stop();
    join();
    // The reader settles the files when it ends; this only matters for a reader that could
    // not (none is left running here).
    m_outputs->discard();
}

void RunningJob::stop()
{
    // The gate closes first, so the reader that sees its process die posts nothing.
    m_control->stop();
    m_process->stop();
}

void RunningJob::join()
{
    if (m_reader.joinable())
        m_reader.join();
}

}  // namespace tolvex
