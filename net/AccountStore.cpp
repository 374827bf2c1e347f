#include "net/AccountStore.h"

#include "app/Folders.h"

#include <QFile>

#include <json/reader.h>

#include <memory>

namespace tolvex {

namespace {

// Account files are a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxAccountFileBytes = 64 * 1024;

}  // namespace

QString AccountFilePath()
{
    return AppDataFolder(QStringLiteral("TolvexVideoConverter/Data")) + QStringLiteral("/account.json");
}

std::optional<Account> ReadAccountFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxAccountFileBytes)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    try {
        Json::CharReaderBuilder builder;
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string errors;
        if (!reader->parse(bytes.constData(), bytes.constData() + bytes.size(), &root, &errors) || !root.isObject())
            return std::nullopt;
        Account account;
        if (root["mobile"].isString())
            account.mobile = root["mobile"].asString();
        if (root["wechat"].isString())
            account.wechat = root["wechat"].asString();
        return account;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void AccountState::set(Account account)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_account = std::move(account);
}

bool AccountState::isSignedIn() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_account.signedIn();
}

Account AccountState::current() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_account;
}

void LoadAccount(AccountState& state)
{
    state.set(ReadAccountFile(AccountFilePath()).value_or(Account{}));
}

}  // namespace tolvex
