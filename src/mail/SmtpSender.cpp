#include "mail/SmtpSender.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>

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

// Keeps the server's first refusal ("550 5.1.1 ...") with the command it answered, else its
// last answer: the reason a failure gives. Later lines (the "221 Bye" of the goodbye) say
// nothing about it. Only a command's first word is kept: an AUTH line carries the login.
struct ServerAnswer {
    std::string refusal;
    std::string refusedCommand;
    std::string last;
    std::string lastCommand;
    std::string reason() const { return refusal.empty() ? last : refusal; }
    // A 5xx to the sender, a recipient or the message: the message itself is refused. "530
    // authentication required" is about the login, whatever command it answers.
    bool refusesTheMessage() const {
        return !refusal.empty() && refusal[0] == '5' && refusal.rfind("530", 0) != 0 &&
               (refusedCommand == "MAIL" || refusedCommand == "RCPT" || refusedCommand == "DATA");
    }
};

int keepServerAnswer(CURL*, curl_infotype type, char* data, size_t size, void* target) {
    auto* answer = static_cast<ServerAnswer*>(target);
    if (type == CURLINFO_HEADER_OUT) {
        const std::string_view line(data, size);
        answer->lastCommand = std::string(line.substr(0, line.find_first_of(" \r\n")));
        return 0;
    }
    if (type != CURLINFO_HEADER_IN) return 0;
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.empty()) return 0;
    answer->last = line;
    if (answer->refusal.empty() && (line[0] == '4' || line[0] == '5')) {
        answer->refusal = line;
        answer->refusedCommand = answer->lastCommand;
    }
    return 0;
}

// A sending under way ends when the application asks it to.
int checkCancelled(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(flag);
    return cancel && cancel->load() ? 1 : 0;
}

// The system's authorities followed by the company's file, as one PEM list: libcurl takes
// one list, and the company's certificate must add to the system's, not replace them.
std::optional<std::string> trustedAuthorities(const std::string& companyFile) {
    constexpr std::streamsize kMostBytes = 4 * 1024 * 1024;
    auto read = [](const std::string& path) -> std::optional<std::string> {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::string bytes(static_cast<std::size_t>(kMostBytes), '\0');
        in.read(bytes.data(), kMostBytes);
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        return bytes;
    };
    auto company = read(companyFile);
    if (!company || company->find("-----BEGIN CERTIFICATE-----") == std::string::npos) return std::nullopt;
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    const std::string systemFile = info && info->cainfo ? info->cainfo : "/etc/ssl/certs/ca-certificates.crt";
    return read(systemFile).value_or("") + "\n" + *company;
}

// No answer to judge by: the connection could not be made, or ended, or went silent.
bool isUnreachable(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_ABORTED_BY_CALLBACK: return true;
    default: return false;
    }
}

std::string failureReason(CURLcode code, const ServerAnswer& answer) {
    std::string reason;
    switch (code) {
    case CURLE_USE_SSL_FAILED:
        reason = "il server non offre STARTTLS: utente e password non si inviano senza cifratura";
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
        reason = "certificato del server non riconosciuto (" + std::string(curl_easy_strerror(code)) + ")";
        break;
    case CURLE_ABORTED_BY_CALLBACK: reason = "invio interrotto"; break;
    default: reason = curl_easy_strerror(code); break;
    }
    if (!answer.reason().empty()) reason += " (" + answer.reason() + ")";
    return reason;
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
    // smtps:// is TLS from the start; smtp:// upgrades whenever the server offers it, and with
    // a login it must: a server, or anything in between, that does not offer STARTTLS would
    // otherwise receive the password in clear.
    const bool login = !settings_.user.empty() || !settings_.password.empty();
    curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(login ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (login) {
        curl_easy_setopt(c, CURLOPT_USERNAME, settings_.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, settings_.password.c_str());
    }
    std::string authorities;
    if (!settings_.caFile.empty()) {
        auto trusted = trustedAuthorities(settings_.caFile);
        if (!trusted) {
            result.reason = "certificato aziendale non leggibile: " + settings_.caFile;
            return result;
        }
        authorities = std::move(*trusted);
        curl_blob blob{authorities.data(), authorities.size(), CURL_BLOB_COPY};
        curl_easy_setopt(c, CURLOPT_CAINFO_BLOB, &blob);
    }
    if (cancel_) {
        curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, checkCancelled);
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, cancel_);
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
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
        result.reason = failureReason(code, serverAnswer);
        result.permanent = serverAnswer.refusesTheMessage();
        result.temporary = serverAnswer.refusal.empty() ? isUnreachable(code) : serverAnswer.refusal[0] == '4';
        return result;
    }
    result.sent = true;
    return result;
}

}  // namespace torvane
