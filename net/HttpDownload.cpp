#include "net/HttpDownload.h"

#include "net/CurlHandles.h"
#include "net/DownloadFileName.h"
#include "net/DownloadPolicy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>

#include <curl/curl.h>
#include <glog/logging.h>

namespace tolvex {

namespace {

// State the libcurl callbacks share with Run.
struct Transfer {
    CURL* curl = nullptr;
    QSaveFile* file = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    const HttpDownload::ProgressFn* progress = nullptr;
    QCryptographicHash digest{QCryptographicHash::Sha256};
    int64_t received = 0;
    int lastPercent = 0;
    int64_t lastActivity = 0;
    bool writeFailed = false;
    bool tooLarge = false;
    bool httpsSeen = false;
    std::string refusedHop;

    void report()
    {
        curl_off_t length = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (!*progress)
            return;
        if (length > 0) {
            const int percent = static_cast<int>(static_cast<float>(received) / static_cast<float>(length) * 100.0f);
            if (percent != lastPercent) {
                lastPercent = percent;
                (*progress)(DownloadProgress{percent, received, length});
            }
        } else if (received - lastActivity >= HttpDownload::kActivityBytes) {
            lastActivity = received;
            (*progress)(DownloadProgress{-1, received, 0});
        }
    }
};

size_t WriteChunk(char* data, size_t size, size_t count, void* context)
{
    auto* transfer = static_cast<Transfer*>(context);
    const size_t bytes = size * count;
    if (transfer->cancel->load())
        return 0;
    if (transfer->received + static_cast<int64_t>(bytes) > HttpDownload::kMaxBytes) {
        transfer->tooLarge = true;
        return 0;
    }
    transfer->digest.addData(QByteArrayView(data, static_cast<qsizetype>(bytes)));
    if (transfer->file->write(data, static_cast<qint64>(bytes)) != static_cast<qint64>(bytes)) {
        transfer->writeFailed = true;
        return 0;
    }
    transfer->received += static_cast<int64_t>(bytes);
    transfer->report();
    return bytes;
}

int CheckCancel(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(context)->cancel->load() ? 1 : 0;
}

// Called once a connection of the download (the first, or one for a redirect) is made and
// before its request goes out: the policy decides on the URL and the address reached.
int CheckHop(void* context, char* primaryIp, char*, int, int)
{
    auto* transfer = static_cast<Transfer*>(context);
    char* url = nullptr;
    curl_easy_getinfo(transfer->curl, CURLINFO_EFFECTIVE_URL, &url);
    const std::string hop = url ? url : "";
    if (!MayDownloadOver(hop, primaryIp ? primaryIp : "", transfer->httpsSeen)) {
        transfer->refusedHop = hop + " (" + (primaryIp ? primaryIp : "") + ")";
        return CURL_PREREQFUNC_ABORT;
    }
    transfer->httpsSeen = transfer->httpsSeen || IsHttpsUrl(hop);
    return CURL_PREREQFUNC_OK;
}

// Hexadecimal in lower case, the way the digest is compared.
std::string LowerCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

HttpDownload::HttpDownload(std::string url, const QString& folder, std::string sha256)
    : m_url(std::move(url)),
      m_target(QDir(folder).absoluteFilePath(DownloadFileName(m_url))),
      m_sha256(LowerCase(std::move(sha256)))
{
}

DownloadOutcome HttpDownload::run(const std::atomic<bool>& cancel, const ProgressFn& progress)
{
    CurlEasy handle(curl_easy_init());
    if (!handle)
        return DownloadOutcome::Failed;
    QSaveFile file(m_target);
    if (!file.open(QIODevice::WriteOnly)) {
        LOG(ERROR) << "cannot write " << m_target.toStdString() << ": " << file.errorString().toStdString();
        return DownloadOutcome::Failed;
    }
    Transfer transfer;
    transfer.curl = handle.get();
    transfer.file = &file;
    transfer.cancel = &cancel;
    transfer.progress = &progress;

    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, m_url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &CheckHop);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBytes));
    UseTrustedCertificates(curl);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteChunk);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CheckCancel);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode code = curl_easy_perform(curl);
    if (cancel.load())
        return DownloadOutcome::Cancelled;  // the unfinished file goes with `file`
    if (!transfer.refusedHop.empty()) {
        LOG(ERROR) << "download refused: " << m_url << " led to " << transfer.refusedHop
                   << ": only https, or plain http to this machine before any https";
        return DownloadOutcome::Failed;
    }
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        LOG(ERROR) << "download refused: " << m_url << " is larger than " << kMaxBytes << " bytes";
        return DownloadOutcome::Failed;
    }
    if (code == CURLE_PARTIAL_FILE) {
        LOG(ERROR) << "download ended early: " << m_url << " after " << transfer.received << " bytes";
        return DownloadOutcome::Short;
    }
    if (code != CURLE_OK) {
        LOG(ERROR) << "download failed: " << m_url << " curl code:" << code << ",strerror:" << curl_easy_strerror(code);
        return DownloadOutcome::Failed;
    }
    curl_off_t length = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (transfer.received == 0 || (length >= 0 && transfer.received != length)) {
        LOG(ERROR) << "download incomplete: " << m_url << " " << transfer.received << " of " << length << " bytes";
        return DownloadOutcome::Short;
    }
    if (!m_sha256.empty()) {
        const std::string actual = transfer.digest.result().toHex().toStdString();
        if (actual != m_sha256) {
            LOG(ERROR) << "download refused: " << m_url << " has SHA-256 " << actual << ", expected " << m_sha256;
            return DownloadOutcome::Failed;
        }
    }
    if (!file.commit()) {
        LOG(ERROR) << "cannot write " << m_target.toStdString() << ": " << file.errorString().toStdString();
        return DownloadOutcome::Failed;
    }
    if (progress && transfer.lastPercent != 100)
        progress(DownloadProgress{100, transfer.received, transfer.received});
    return DownloadOutcome::Completed;
}

}  // namespace tolvex
