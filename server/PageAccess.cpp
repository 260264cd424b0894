#include "PageAccess.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <vector>

namespace torvane::fiera {

PageAccess::PageAccess(std::optional<std::string> password) : password_(std::move(password)) {}

bool PageAccess::isLoopback(const std::string& address) {
    std::string a = address;
    if (a.rfind("::ffff:", 0) == 0) a = a.substr(7);
    return a == "::1" || a.rfind("127.", 0) == 0;
}

std::optional<std::string> PageAccess::basicPassword(const std::string& authorization) {
    static const std::string scheme = "Basic ";
    if (authorization.size() <= scheme.size() || authorization.compare(0, scheme.size(), scheme) != 0)
        return std::nullopt;
    const std::string encoded = authorization.substr(scheme.size());
    if (encoded.size() % 4 != 0 || encoded.size() > 4096) return std::nullopt;
    std::vector<unsigned char> decoded(encoded.size() / 4 * 3 + 1);
    const int length = EVP_DecodeBlock(decoded.data(), reinterpret_cast<const unsigned char*>(encoded.data()),
                                       static_cast<int>(encoded.size()));
    if (length < 0) return std::nullopt;
    std::size_t size = static_cast<std::size_t>(length);
    // EVP_DecodeBlock counts the padding as bytes.
    for (std::size_t i = encoded.size(); i > 0 && encoded[i - 1] == '=' && size > 0; --i) --size;
    const std::string pair(reinterpret_cast<const char*>(decoded.data()), size);
    const std::size_t colon = pair.find(':');
    if (colon == std::string::npos) return std::nullopt;
    return pair.substr(colon + 1);
}

PageAccess::Verdict PageAccess::check(const std::string& remoteAddress, const std::string& authorization) const {
    if (!password_) return isLoopback(remoteAddress) ? Verdict::Allowed : Verdict::Refused;
    const std::optional<std::string> given = basicPassword(authorization);
    if (!given || given->size() != password_->size() ||
        CRYPTO_memcmp(given->data(), password_->data(), given->size()) != 0)
        return Verdict::NeedsPassword;
    return Verdict::Allowed;
}

}  // namespace torvane::fiera
