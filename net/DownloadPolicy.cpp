#include "net/DownloadPolicy.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <string>

namespace tolvex {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

bool IsLoopbackAddress(std::string_view address)
{
    const std::string text(address);
    in_addr v4{};
    if (::inet_pton(AF_INET, text.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.c_str(), &v6) != 1)
        return false;
    if (IN6_IS_ADDR_LOOPBACK(&v6))
        return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

bool IsHttpsUrl(std::string_view url)
{
    return StartsWithNoCase(url, "https://");
}

bool MayDownloadOver(std::string_view url, std::string_view address, bool httpsBefore)
{
    if (IsHttpsUrl(url))
        return true;
    return StartsWithNoCase(url, "http://") && !httpsBefore && IsLoopbackAddress(address);
}

}  // namespace tolvex
