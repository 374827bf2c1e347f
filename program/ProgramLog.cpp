#include "program/ProgramLog.h"

#include "app/Folders.h"
#include "app/Helpers.h"

#include <glog/logging.h>

namespace tolvex {

void ProgramLog::start()
{
    const std::string base = ToNarrowAnsi(LogFolder() + QLatin1Char('/'));
    google::InitGoogleLogging("TolvexVideoConverter");
    google::SetLogDestination(google::GLOG_INFO, base.c_str());
    // One file holds every severity; no separate warning/error files elsewhere.
    google::SetLogDestination(google::GLOG_WARNING, "");
    google::SetLogDestination(google::GLOG_ERROR, "");
    google::SetLogDestination(google::GLOG_FATAL, "");
    google::SetLogFilenameExtension("log");
    FLAGS_logtostderr = false;
    FLAGS_alsologtostderr = false;
    FLAGS_logbufsecs = 0;
    FLAGS_max_log_size = 10;
    FLAGS_stop_logging_if_full_disk = true;
}

void ProgramLog::stop()
{
    google::ShutdownGoogleLogging();
}

}  // namespace tolvex
