#pragma once

// What the online services' tests share: a local service on 127.0.0.1 with answers built in
// the test, a certificate for serving it over https, a port that accepts connections but
// never answers, and a capture of the ERROR lines the client logs.

#include "tools/local-service/LocalService.h"

#include <glog/logging.h>
#include <json/value.h>

#include <QString>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tolvex::test {

// {"status": status, "json": body}
Json::Value JsonAnswer(const Json::Value& body, int status = 200);
// {"status": status, "text": body}
Json::Value TextAnswer(const std::string& body, int status = 200);
// {"ret": ret, "data": data}
Json::Value Envelope(int ret, const Json::Value& data = Json::Value());
// The answer of the update check naming `version`.
Json::Value UpgradeAnswer(const std::string& version, const std::string& downloadUrl, const Json::Value& force);

// A self-signed certificate for 127.0.0.1 and its key (PEM), made with the openssl program
// in `folder`. The program trusts it when SSL_CERT_FILE names the certificate.
struct TlsFiles {
    std::string certificate;
    std::string key;
};
std::optional<TlsFiles> MakeLoopbackCertificate(const QString& folder);

// Parses a JSON text (the tests' bodies); null on failure.
Json::Value ParseJson(const std::string& text);

// A listening socket on 127.0.0.1 whose connections the kernel accepts but nobody answers.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    // True once a client's connection waits in the listen queue (it is never accepted),
    // waiting up to `timeoutMs` for one.
    bool waitForConnection(int timeoutMs) const;

private:
    int m_fd = -1;
    int m_port = 0;
};

// Collects glog's lines of ERROR severity while it exists.
class ErrorLogCapture : public google::LogSink {
public:
    ErrorLogCapture();
    ~ErrorLogCapture() override;
    void send(google::LogSeverity severity, const char* fullFilename, const char* baseFilename, int line,
              const struct ::tm* time, const char* message, size_t length) override;
    // True when some captured line contains `text`.
    bool contains(const std::string& text) const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

}  // namespace tolvex::test
