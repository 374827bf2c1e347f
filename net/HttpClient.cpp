#include "net/HttpClient.h"

#include "app/ServiceAddress.h"
#include "net/CurlHandles.h"

#include <QString>

#include <curl/curl.h>
#include <glog/logging.h>

#include <mutex>

namespace tolvex {

namespace {

std::atomic<int> g_globalInits{0};

// Ends a transfer once the caller's abort flag is set (libcurl then reports
// CURLE_ABORTED_BY_CALLBACK).
int AbortWhenAsked(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* abort = static_cast<const std::atomic<bool>*>(flag);
    return abort->load() ? 1 : 0;
}

void WatchAbortFlag(CURL* handle, const std::atomic<bool>* abort)
{
    if (!abort)
        return;
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &AbortWhenAsked);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(abort));
}

// Names under ".invalid" never resolve: such a request fails at once, without asking DNS.
bool RefuseUnresolvable(const std::string& url)
{
    if (!IsUnresolvableServiceUrl(QString::fromStdString(url)))
        return false;
    LOG(ERROR) << "no service configured, not requesting " << url;
    return true;
}

}  // namespace

HttpClient::HttpClient()
{
    curl_global_init(CURL_GLOBAL_ALL);
    g_globalInits.fetch_add(1);
}

int HttpClient::globalInitCount()
{
    return g_globalInits.load();
}

HttpClient& HttpClientInstance()
{
    // Lives until the process ends: other threads may still be inside a request.
    static HttpClient* const client = new HttpClient;
    return *client;
}

size_t AppendToResponse(char* data, size_t size, size_t count, void* response)
{
    const size_t bytes = size * count;
    if (!response || bytes == 0)
        return bytes;
    auto* text = static_cast<std::string*>(response);
    if (text->size() + bytes > HttpClient::kMaxAnswerBytes)
        return 0;
    text->append(data, bytes);
    return bytes;
}

namespace {

// The options every request shares: no signals, the answer into `response`, at most
// kMaxAnswerBytes of it, trusted certificates, the caller's abort flag.
void SetCommonOptions(CURL* curl, const std::string& url, std::string& response, const std::atomic<bool>* abort)
{
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, HttpClient::kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendToResponse);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(HttpClient::kMaxAnswerBytes));
    UseTrustedCertificates(curl);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    WatchAbortFlag(curl, abort);
}

}  // namespace

int HttpClient::Get(const std::string& url, std::string& response, const std::atomic<bool>* abort)
{
    CurlEasy handle(curl_easy_init());
    if (!handle)
        return 2;
    if (RefuseUnresolvable(url))
        return -1;
    CURL* curl = handle.get();
    SetCommonOptions(curl, url, response, abort);

    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        LOG(ERROR) << "GET " << url << " curl code:" << code << ",strerror:" << curl_easy_strerror(code);
        return -1;
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299 || response.empty()) {
        LOG(ERROR) << "GET " << url << " response code:" << status << ",body bytes:" << response.size();
        return -1;
    }
    LOG(INFO) << "GET " << url << " response code:" << status << ",body bytes:" << response.size();
    return 0;
}

int HttpClient::PostJson(std::string body, const std::string& url, std::string& response,
                         const std::atomic<bool>* abort)
{
    CurlHeaderList headers;
    if (!headers.append("Accept: application/json") || !headers.append("Content-Type:application/json;charset=UTF-8"))
        return -1;
    CurlEasy handle(curl_easy_init());
    if (!handle)
        return -1;
    if (RefuseUnresolvable(url))
        return -1;
    CURL* curl = handle.get();
    SetCommonOptions(curl, url, response, abort);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());

    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        LOG(ERROR) << "POST " << url << " curl code:" << code << ",strerror:" << curl_easy_strerror(code);
        return -1;
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (response.empty()) {
        LOG(ERROR) << "POST " << url << " response code:" << status << ", empty body";
        return -1;
    }
    LOG(INFO) << "POST " << url << " response code:" << status << ",body bytes:" << response.size();
    return 0;
}

}  // namespace tolvex
