#include "program/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <unistd.h>

namespace tolvex {

namespace {
constexpr char kMutexName[] = "TolvexVideoConverterProcessMutex";
constexpr char kActivateLine[] = "activate";
constexpr char kOpenPrefix[] = "open ";
constexpr char kEndLine[] = "end";
}  // namespace

SingleInstance::SingleInstance(const QString& key)
    : m_key(key), m_lock(QDir::tempPath() + QLatin1Char('/') + key + QStringLiteral(".lock"))
{
    // Only a dead owner makes the lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock.isLocked())
        m_lock.unlock();
}

QString SingleInstance::keyForUser()
{
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QByteArray digest =
        QCryptographicHash::hash(QDir::cleanPath(dataFolder).toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("%1-%2-%3")
        .arg(QLatin1String(kMutexName))
        .arg(static_cast<qulonglong>(getuid()))
        .arg(QString::fromLatin1(digest));
}

bool SingleInstance::tryBecomePrimary()
{
    if (!m_lock.tryLock(0))
        return false;
    // Holding the lock, any socket of that name is a leftover of a crashed instance.
    QLocalServer::removeServer(m_key);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_key))
        qWarning().noquote() << "single-instance socket cannot listen:" << m_server->errorString();
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

bool SingleInstance::handOverToRunning(const QString& key, const QStringList& files)
{
    SingleInstance probe(key);
    if (probe.m_lock.tryLock(0)) {
        probe.m_lock.unlock();
        return false;
    }
    probe.activatePrimary(2000, files);
    return true;
}

QByteArray SingleInstance::encodeRequest(const QStringList& files)
{
    QByteArray request = QByteArray(kActivateLine) + '\n';
    for (const QString& file : files)
        request += QByteArray(kOpenPrefix) + QUrl::fromLocalFile(file).toEncoded() + '\n';
    request += QByteArray(kEndLine) + '\n';
    return request;
}

std::optional<QStringList> SingleInstance::decodeRequest(const QByteArray& request)
{
    QStringList files;
    const QList<QByteArray> lines = request.split('\n');
    // The last piece is what follows the last line break: an unfinished line, or nothing.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line == kEndLine)
            return files;
        if (line.startsWith(kOpenPrefix)) {
            const QUrl url = QUrl::fromEncoded(line.mid(qsizetype(sizeof(kOpenPrefix)) - 1), QUrl::StrictMode);
            if (url.isValid() && url.isLocalFile() && !url.toLocalFile().isEmpty())
                files << url.toLocalFile();
        }
    }
    return std::nullopt;
}

bool SingleInstance::activatePrimary(int timeoutMs, const QStringList& files)
{
    // The first instance may still be between taking the lock and listening.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(200)) {
            socket.write(encodeRequest(files));
            const bool written =
                socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 100)));
            socket.disconnectFromServer();
            return written;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::setActivationHandler(ActivationHandler handler)
{
    m_onActivate = std::move(handler);
    if (!m_onActivate)
        return;
    std::vector<QStringList> waiting;
    waiting.swap(m_waiting);
    for (const QStringList& files : waiting)
        m_onActivate(files);
}

void SingleInstance::deliver(const QStringList& files)
{
    ++m_received;
    if (m_onActivate)
        m_onActivate(files);
    else
        m_waiting.push_back(files);
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A request may arrive in pieces; it is handled once, when its "end" line is in.
        // An older or cut-off request (no "end") still brings the window forward when
        // its sender hangs up.
        auto buffer = std::make_shared<QByteArray>();
        auto handled = std::make_shared<bool>(false);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer, handled] {
            *buffer += socket->readAll();
            if (*handled)
                return;
            if (const std::optional<QStringList> files = decodeRequest(*buffer)) {
                *handled = true;
                deliver(*files);
            }
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, buffer, handled] {
            if (!*handled && buffer->startsWith(kActivateLine)) {
                *handled = true;
                deliver({});
            }
        });
    }
}

}  // namespace tolvex
