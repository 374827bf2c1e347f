#pragma once

// The stored sign-in data of the account functions: a small JSON file in the Data folder,
// TolvexVideoConverter/Data/account.json, holding the string members "mobile" (the phone
// number) and "wechat" (the WeChat identity). A user is signed in when either is non-empty.
// A missing, unreadable or wrong-shaped file means nobody is signed in.

#include <QString>

#include <mutex>
#include <optional>
#include <string>

namespace tolvex {

struct Account {
    std::string mobile;
    std::string wechat;

    bool signedIn() const { return !mobile.empty() || !wechat.empty(); }
};

// TolvexVideoConverter/Data/account.json under the data folder.
QString AccountFilePath();
// The account of a file; nothing when it cannot be read or is not a JSON object. A member
// that is missing or not a string counts as empty. Never throws.
std::optional<Account> ReadAccountFile(const QString& path);

// The current account, as the loader thread found it.
// Thread use: Set from the loader thread, read from the UI thread; all calls lock.
class AccountState {
public:
    void set(Account account);
    bool isSignedIn() const;
    Account current() const;

private:
    mutable std::mutex m_mutex;
    Account m_account;
};

// The loader thread's work: reads AccountFilePath() into `state`.
void LoadAccount(AccountState& state);

}  // namespace tolvex
