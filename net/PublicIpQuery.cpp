#include "net/PublicIpQuery.h"

#include "app/Helpers.h"
#include "app/Settings.h"
#include "net/HttpClient.h"
#include "net/ServiceEnvelope.h"

#include <QString>

namespace tolvex {

namespace {

const QString kSection = QStringLiteral("global");
const QString kKey = QStringLiteral("user-real-ip");
// configure.ini's "user-real-ip" is read with room for 55 characters.
constexpr int kAddressBufferChars = 56;

bool LooksLikeAddress(const std::string& text)
{
    if (text.empty() || text.size() >= kAddressBufferChars)
        return false;
    for (const char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != '.' && c != ':')
            return false;
    }
    return true;
}

}  // namespace

bool PublicIpQueryNeeded()
{
    QString stored;
    ReadSetting(kSection, kKey, QString(), stored, kAddressBufferChars);
    return stored.isEmpty();
}

std::optional<std::string> ParsePublicIpAnswer(const std::string& body)
{
    const auto envelope = ParseServiceEnvelope(body);
    if (!envelope || !envelope->succeeded() || !envelope->data.isString())
        return std::nullopt;
    const std::string address = envelope->data.asString();
    if (!LooksLikeAddress(address))
        return std::nullopt;
    return address;
}

bool PublicIpQuery(const std::string& baseUrl, const std::atomic<bool>* abort)
{
    std::string answer;
    if (HttpClientInstance().Get(baseUrl + "/get_user_ip" + TimestampQuery(), answer, abort) != 0)
        return false;
    const auto address = ParsePublicIpAnswer(answer);
    if (!address)
        return false;
    return WriteSetting(kSection, kKey, ToWideAnsi(*address));
}

}  // namespace tolvex
