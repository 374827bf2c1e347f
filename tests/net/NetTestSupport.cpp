#include "tests/net/NetTestSupport.h"

#include <QDir>
#include <QProcess>

#include <json/reader.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace tolvex::test {

std::optional<TlsFiles> MakeLoopbackCertificate(const QString& folder)
{
    const QDir dir(folder);
    TlsFiles files{dir.filePath(QStringLiteral("cert.pem")).toStdString(),
                   dir.filePath(QStringLiteral("key.pem")).toStdString()};
    QProcess openssl;
    openssl.start(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
         QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
         QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
         QString::fromStdString(files.key), QStringLiteral("-out"), QString::fromStdString(files.certificate)});
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        return std::nullopt;
    return files;
}

Json::Value JsonAnswer(const Json::Value& body, int status)
{
    Json::Value answer(Json::objectValue);
    answer["status"] = status;
    answer["json"] = body;
    return answer;
}

Json::Value TextAnswer(const std::string& body, int status)
{
    Json::Value answer(Json::objectValue);
    answer["status"] = status;
    answer["text"] = body;
    return answer;
}

Json::Value Envelope(int ret, const Json::Value& data)
{
    Json::Value envelope(Json::objectValue);
    envelope["ret"] = ret;
    if (!data.isNull())
        envelope["data"] = data;
    return envelope;
}

Json::Value UpgradeAnswer(const std::string& version, const std::string& downloadUrl, const Json::Value& force)
{
    Json::Value data(Json::objectValue);
    data["app_version"] = version;
    data["download_url"] = downloadUrl;
    data["force_upgrade"] = force;
    return JsonAnswer(Envelope(0, data));
}

Json::Value ParseJson(const std::string& text)
{
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors))
        return Json::Value();
    return value;
}

SilentListener::SilentListener()
{
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(m_fd, 8) != 0)
        return;
    socklen_t length = sizeof address;
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
}

SilentListener::~SilentListener()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool SilentListener::waitForConnection(int timeoutMs) const
{
    // A listening socket reads as readable while a connection waits to be accepted.
    pollfd waiting{m_fd, POLLIN, 0};
    return m_fd >= 0 && poll(&waiting, 1, timeoutMs) == 1 && (waiting.revents & POLLIN) != 0;
}

ErrorLogCapture::ErrorLogCapture()
{
    google::AddLogSink(this);
}

ErrorLogCapture::~ErrorLogCapture()
{
    google::RemoveLogSink(this);
}

void ErrorLogCapture::send(google::LogSeverity severity, const char*, const char*, int, const struct ::tm*,
                           const char* message, size_t length)
{
    if (severity < google::GLOG_ERROR)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.emplace_back(message, length);
}

bool ErrorLogCapture::contains(const std::string& text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::string& line : m_lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

}  // namespace tolvex::test
