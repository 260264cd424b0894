#include "mail/SmtpSender.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "mail/MailAddress.h"
#include "platform/CurlOptions.h"

namespace torvane {

namespace {

struct Upload {
    const std::string& bytes;
    std::size_t at = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* source) {
    auto* upload = static_cast<Upload*>(source);
    const std::size_t n = std::min(size * count, upload->bytes.size() - upload->at);
    std::memcpy(buffer, upload->bytes.data() + upload->at, n);
    upload->at += n;
    return n;
}

// Keeps the server's first refusal ("550 5.1.1 ..."), else its last answer: the reason a
// failure gives. Later lines (the "221 Bye" of the goodbye) say nothing about it.
struct ServerAnswer {
    std::string refusal;
    std::string last;
    std::string reason() const { return refusal.empty() ? last : refusal; }
};

int keepServerAnswer(CURL*, curl_infotype type, char* data, size_t size, void* target) {
    if (type != CURLINFO_HEADER_IN) return 0;
    auto* answer = static_cast<ServerAnswer*>(target);
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.empty()) return 0;
    answer->last = line;
    if (answer->refusal.empty() && (line[0] == '4' || line[0] == '5')) answer->refusal = line;
    return 0;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::string SmtpSender::serverUrl(const std::string& server) {
    const auto scheme = server.find("://");
    if (scheme == std::string::npos) return server.empty() ? std::string() : "smtp://" + server;
    const std::string name = lowered(server.substr(0, scheme));
    return name == "smtp" || name == "smtps" ? server : std::string();
}

SmtpResult SmtpSender::send(const std::string& from, const std::vector<std::string>& recipients,
                            const std::string& message) const {
    SmtpResult result;
    const std::string url = serverUrl(settings_.server);
    if (url.empty()) {
        result.reason = "server SMTP non valido (serve smtp:// o smtps://): " + settings_.server;
        return result;
    }
    if (recipients.empty()) {
        result.reason = "nessun destinatario";
        return result;
    }
    // Addresses become SMTP commands: one that could carry a command of its own never goes.
    for (const std::string& address : recipients)
        if (!MailAddress::isAcceptable(address)) {
            result.reason = "indirizzo non valido: " + address;
            return result;
        }
    if (!MailAddress::isAcceptable(from)) {
        result.reason = "mittente non valido: " + from;
        return result;
    }
    initialiseCurlOnce();
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        result.reason = "libcurl non disponibile";
        return result;
    }
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> rcpt(nullptr, curl_slist_free_all);
    for (const std::string& address : recipients) rcpt.reset(curl_slist_append(rcpt.release(), ("<" + address + ">").c_str()));
    const std::string sender = "<" + from + ">";
    Upload upload{message};
    ServerAnswer serverAnswer;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, sender.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    // smtp:// upgrades to TLS whenever the server offers it; smtps:// is TLS from the start.
    curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!settings_.user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, settings_.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, settings_.password.c_str());
    }
    setSharedCurlOptions(c, settings_.timeout);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min<long long>(settings_.timeout.count(), 10000)));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(settings_.stallTimeout.count()));
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, keepServerAnswer);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &serverAnswer);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    const CURLcode code = curl_easy_perform(c);
    if (code != CURLE_OK) {
        result.reason = curl_easy_strerror(code);
        if (!serverAnswer.reason().empty()) result.reason += " (" + serverAnswer.reason() + ")";
        return result;
    }
    result.sent = true;
    return result;
}

}  // namespace torvane
