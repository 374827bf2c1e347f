#include "program/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace tolvex {

namespace {
constexpr char kMutexName[] = "TolvexVideoConverterProcessMutex";
constexpr char kActivateRequest[] = "activate\n";
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

QString SingleInstance::KeyForUser()
{
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QByteArray digest =
        QCryptographicHash::hash(QDir::cleanPath(dataFolder).toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("%1-%2-%3")
        .arg(QLatin1String(kMutexName))
        .arg(static_cast<qulonglong>(getuid()))
        .arg(QString::fromLatin1(digest));
}

bool SingleInstance::TryBecomePrimary()
{
    if (!m_lock.tryLock(0))
        return false;
    // Holding the lock, any socket of that name is a leftover of a crashed instance.
    QLocalServer::removeServer(m_key);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_key))
        qWarning().noquote() << "single-instance socket cannot listen:" << m_server->errorString();
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    return true;
}

bool SingleInstance::HandOverToRunning(const QString& key)
{
    SingleInstance probe(key);
    if (probe.m_lock.tryLock(0)) {
        probe.m_lock.unlock();
        return false;
    }
    probe.ActivatePrimary();
    return true;
}

bool SingleInstance::ActivatePrimary(int timeoutMs)
{
    // The first instance may still be between taking the lock and listening.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(200)) {
            socket.write(kActivateRequest);
            const bool written = socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 100)));
            socket.disconnectFromServer();
            return written;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray request = socket->readAll();
            if (request.contains("activate") && m_onActivate)
                m_onActivate();
        });
    }
}

}  // namespace tolvex
