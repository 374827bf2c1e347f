#pragma once

// The output parameters confirmed per convert item, by task id.
// Thread use: the UI thread writes (store on confirmation, erase on a format change or
// removal); convert workers read a copy at job start. Every access takes the lock.

#include "media/OutputParams.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace tolvex {

class OutputParamsTable {
public:
    // Inserts the record under its taskId, or overwrites every field of the stored one.
    void store(const OutputParams& params);
    std::optional<OutputParams> find(int32_t taskId) const;
    void erase(int32_t taskId);
    void clear();
    size_t size() const;

private:
    mutable std::mutex m_lock;
    std::map<int32_t, OutputParams> m_records;
};

}  // namespace tolvex
