#pragma once

// Owners of libcurl's handles: an easy handle and a header list each have exactly one
// owner and are released on every path.

#include <curl/curl.h>

#include <memory>

namespace tolvex {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlSlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// A header list built line by line. Append returns false when libcurl could not add the
// line (the list built so far stays owned).
class CurlHeaderList {
public:
    bool append(const char* line)
    {
        curl_slist* head = curl_slist_append(m_list.get(), line);
        if (!head)
            return false;
        // Appending keeps the head of a list that has one.
        if (!m_list)
            m_list.reset(head);
        return true;
    }
    curl_slist* get() const { return m_list.get(); }

private:
    std::unique_ptr<curl_slist, CurlSlistDeleter> m_list;
};

}  // namespace tolvex
