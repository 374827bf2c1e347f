#pragma once

// Owners of libcurl's handles: an easy handle and a header list each have exactly one
// owner and are released on every path. And the one place that says which certificates a
// request trusts.

#include <curl/curl.h>

#include <cstdlib>
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

// Certificates are always verified: against the system's store, or against the bundle
// that the usual variable SSL_CERT_FILE names (an organisation's own authority).
inline void UseTrustedCertificates(CURL* handle)
{
    const char* bundle = std::getenv("SSL_CERT_FILE");
    if (bundle && *bundle)
        curl_easy_setopt(handle, CURLOPT_CAINFO, bundle);
}

}  // namespace tolvex
