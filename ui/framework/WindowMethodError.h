#pragma once

// The guard of a window's skin-file, initialisation and final-message operations: any
// exception escaping the operation is replaced by a WindowMethodError whose text is the
// class name, "::" and the operation name (for example "CMainWnd::Init").

#include <stdexcept>
#include <string>
#include <utility>

namespace tolvex {

class WindowMethodError : public std::runtime_error {
public:
    explicit WindowMethodError(const std::string& where) : std::runtime_error(where) {}
};

// Runs `operation`; an exception of any kind leaving it is rethrown as
// WindowMethodError(className + "::" + method).
template <class Operation>
decltype(auto) GuardWindowMethod(const std::string& className, const char* method, Operation&& operation)
{
    try {
        return std::forward<Operation>(operation)();
    } catch (...) {
        throw WindowMethodError(className + "::" + method);
    }
}

}  // namespace tolvex
