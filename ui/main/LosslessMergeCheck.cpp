#include "ui/main/LosslessMergeCheck.h"

#include <memory>

namespace tolvex {

LosslessMergeCheck::~LosslessMergeCheck()
{
    stop();
}

void LosslessMergeCheck::stop()
{
    m_abort = true;
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
}

void LosslessMergeCheck::start(PageJobFactory& factory, std::vector<TaskId> ids, MergeSettings settings, Done done)
{
    stop();
    m_abort = false;
    m_running = true;
    m_thread = std::thread(
        [this, &factory, ids = std::move(ids), settings = std::move(settings), done = std::move(done)]() mutable {
            auto plan =
                std::make_shared<PageJobFactory::LosslessMergePlan>(factory.planLosslessMerge(ids, settings, &m_abort));
            if (m_abort)
                return;
            QMetaObject::invokeMethod(
                this,
                [this, plan, done = std::move(done)] {
                    if (m_abort)
                        return;  // stopped after the answer was posted
                    m_running = false;
                    done(std::move(*plan));
                },
                Qt::QueuedConnection);
        });
}

}  // namespace tolvex
