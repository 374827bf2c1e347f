#include "net/HttpClient.h"

#include "app/ServiceAddress.h"
#include "net/CurlHandles.h"

#include <QString>

#include <curl/curl.h>
#include <glog/logging.h>

#include <mutex>

namespace tolvex {

namespace {

std::atomic<HttpClient*> g_client{nullptr};
std::mutex g_clientMutex;
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
    if (HttpClient* client = g_client.load(std::memory_order_acquire))
        return *client;
    std::lock_guard<std::mutex> lock(g_clientMutex);
    HttpClient* client = g_client.load(std::memory_order_relaxed);
    if (!client) {
        // Lives until the process ends: other threads may still be inside a request.
        client = new HttpClient;
        g_client.store(client, std::memory_order_release);
    }
    return *client;
}

size_t AppendToResponse(char* data, size_t size, size_t count, void* response)
{
    const size_t bytes = size * count;
    if (response && bytes > 0)
        static_cast<std::string*>(response)->append(data, bytes);
    return bytes;
}

int HttpClient::Get(const std::string& url, std::string& response, const std::atomic<bool>* abort)
{
    CurlEasy handle(curl_easy_init());
    if (!handle)
        return 2;
    if (RefuseUnresolvable(url))
        return -1;
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendToResponse);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response);
    WatchAbortFlag(curl, abort);

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
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendToResponse);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    WatchAbortFlag(curl, abort);

    const CURLcode code = curl_easy_perform(curl);
    LOG(ERROR) << "curl code:" << code << ",strerror:" << curl_easy_strerror(code);
    if (code != CURLE_OK)
        return -1;
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    LOG(ERROR) << "response code:" << status;
    if (response.empty()) {
        LOG(ERROR) << "response result:" << response;
        return -1;
    }
    return 0;
}

}  // namespace tolvex
