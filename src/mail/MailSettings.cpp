#include "mail/MailSettings.h"

#include <cctype>

#include "mail/MailAddress.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane {

namespace {

std::string text(std::string_view key) { return Preferences::standard().stringForKey(key).value_or(""); }

}  // namespace

std::optional<SmtpSettings> MailSettings::smtp() {
    SmtpSettings settings;
    settings.server = text(keys::pref_SMTPSERVER);
    if (settings.server.empty()) return std::nullopt;
    settings.user = text(keys::pref_SMTPUSER);
    settings.password = text(keys::pref_SMTPPASSWORD);
    settings.caFile = text(keys::pref_SMTPCAFILE);
    return settings;
}

bool MailSettings::outboxEnabled() {
    const Preferences& prefs = Preferences::standard();
    return !prefs.objectForKey(keys::pref_OUTBOXENABLED) || prefs.boolForKey(keys::pref_OUTBOXENABLED);
}

bool MailSettings::canSendMail() { return smtp().has_value() || outboxEnabled(); }

std::string MailSettings::fromAddress() {
    for (std::string_view key : {keys::pref_SMTPFROM, keys::pref_SMTPUSER}) {
        const std::string candidate = text(key);
        if (MailAddress::isAcceptable(candidate)) return candidate;
    }
    // Only what is safe in the local part of an address is kept from the user name.
    std::string user;
    for (char c : text(keys::pref_user))
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_') user += c;
    return (user.empty() ? std::string("agente") : user) + "@torvane.invalid";
}

}  // namespace torvane
