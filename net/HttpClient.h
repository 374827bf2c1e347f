#pragma once

// The process-wide client for the JSON requests to the vendor's web service: a blocking GET
// and a blocking JSON POST, each collecting the whole answer body into the caller's string.
//
// Return codes: 0 success; -1 failure (no network, refused, time-out after 10 s, a libcurl
// error, an empty body, an answer larger than kMaxAnswerBytes, and for Get a status outside
// 200-299); Get returns 2 when no libcurl handle could be made. PostJson succeeds on any
// status with a non-empty body (an HTML error page is then the caller's parse failure).
// Failures are logged at ERROR severity, successful requests at INFO.
// Certificates are verified for every request (UseTrustedCertificates).
//
// Thread use: HttpClientInstance may be called from any thread, also at the same moment; the
// first call runs libcurl's global initialisation exactly once. Every request uses its own
// easy handle, so requests from several threads may overlap. Each blocks its calling thread
// for up to the time-outs, or until `abort` (when given) becomes true, which ends it with -1
// within about a second.

#include <atomic>
#include <cstddef>
#include <string>

namespace tolvex {

class HttpClient {
public:
    static constexpr long kTimeoutSeconds = 10;
    // The service's answers are small JSON documents: a larger one is refused, not stored.
    static constexpr size_t kMaxAnswerBytes = size_t{1} << 20;  // 1 MiB

    int Get(const std::string& url, std::string& response, const std::atomic<bool>* abort = nullptr);
    int PostJson(std::string body, const std::string& url, std::string& response,
                 const std::atomic<bool>* abort = nullptr);

    // How many times libcurl's global initialisation ran in this process (at most once).
    static int globalInitCount();

private:
    friend HttpClient& HttpClientInstance();
    HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
};

// The process-wide client, made on first use; never destroyed while the program runs.
HttpClient& HttpClientInstance();

// libcurl's write callback: appends size * count bytes to the std::string behind `response`
// (nothing is stored without one) and takes the whole chunk, unless the answer would grow
// past HttpClient::kMaxAnswerBytes: then it takes nothing, which ends the transfer.
size_t AppendToResponse(char* data, size_t size, size_t count, void* response);

}  // namespace tolvex
