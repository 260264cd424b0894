#pragma once

#include <gmime/gmime.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "mail/MailDraft.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace torvane::test {

// What the SMTP server accepted: the envelope and the bytes as they arrived.
struct ReceivedMail {
    std::string from;
    std::vector<std::string> recipients;
    std::string bytes;
};

// A test authority and a certificate it signed for 127.0.0.1, made with openssl.
struct TestCertificates {
    std::string authority, certificate, key;

    explicit TestCertificates(const std::string& folder)
        : authority(folder + "/ca.pem"), certificate(folder + "/server.pem"), key(folder + "/server.key") {
        std::filesystem::create_directories(folder);
        const std::string caKey = folder + "/ca.key", request = folder + "/server.csr", names = folder + "/names.cnf";
        std::ofstream(names) << "subjectAltName=IP:127.0.0.1,DNS:localhost\n";
        for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
                 {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", caKey,
                  "-out", authority, "-days", "2", "-subj", "/CN=Autorita di prova", "-addext",
                  "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"},
                 {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", key, "-out",
                  request, "-subj", "/CN=127.0.0.1"},
                 {"x509", "-req", "-in", request, "-CA", authority, "-CAkey", caKey, "-CAcreateserial", "-out",
                  certificate, "-days", "2", "-extfile", names}}) {
            const ProcessResult made = runProcess("/usr/bin/openssl", words);
            if (made.exitCode != 0) throw std::runtime_error("openssl: " + made.err);
        }
    }
};

// Debian's aiosmtpd on a free loopback port (tests/support/smtp_server.py), keeping each
// message it accepts in a folder of its own. `more`: "--refuse ADDRESS", "--login USER:PASSWORD",
// "--tls CERT KEY", "--implicit-tls", "--later N", "--drop N", "--silent".
class SmtpServer {
public:
    explicit SmtpServer(const std::string& folder, const std::vector<std::string>& more = {})
        : folder_(folder), process_("/usr/bin/python3", arguments(folder, more), folder + ".log") {
        const std::string prefix = "in ascolto su 127.0.0.1:";
        if (process_.banner().rfind(prefix, 0) != 0)
            throw std::runtime_error("smtp_server.py did not start: " + readFile(folder + ".log"));
        port_ = std::stoi(process_.banner().substr(prefix.size()));
    }
    std::string url(const std::string& scheme = "smtp") const { return scheme + "://127.0.0.1:" + std::to_string(port_); }
    void stop() { process_.stop(); }

    std::vector<ReceivedMail> received() const {
        std::vector<ReceivedMail> mails;
        for (int n = 1; std::filesystem::exists(folder_ + "/" + std::to_string(n) + ".eml"); ++n) {
            const std::string base = folder_ + "/" + std::to_string(n);
            auto envelope = nlohmann::json::parse(readFile(base + ".json"));
            mails.push_back({envelope["from"], envelope["to"].get<std::vector<std::string>>(), readFile(base + ".eml")});
        }
        return mails;
    }

private:
    static std::vector<std::string> arguments(const std::string& folder, const std::vector<std::string>& more) {
        std::filesystem::create_directories(folder);
        std::vector<std::string> words{TORVANE_TEST_SOURCE_DIR "/support/smtp_server.py", "--dir", folder};
        words.insert(words.end(), more.begin(), more.end());
        return words;
    }
    std::string folder_;
    BackgroundProcess process_;
    int port_ = 0;
};

// A message read back with GMime: the headers decoded, the body and the attachments' bytes.
struct ParsedMail {
    std::vector<std::string> to, cc;
    std::string from, subject;
    std::string bodyType;  // "text/html", "text/plain"
    std::string body;
    std::vector<MailAttachment> attachments;
};

namespace detail {
inline std::vector<std::string> addresses(InternetAddressList* list) {
    std::vector<std::string> out;
    for (int i = 0; list && i < internet_address_list_length(list); ++i)
        out.emplace_back(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(internet_address_list_get_address(list, i))));
    return out;
}
inline std::string mimeType(GMimeObject* part) {
    char* type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(part));
    std::string out = type;
    g_free(type);
    return out;
}
inline void readPart(GMimeObject* part, ParsedMail& mail) {
    if (GMIME_IS_MULTIPART(part)) {
        for (int i = 0; i < g_mime_multipart_get_count(GMIME_MULTIPART(part)); ++i)
            readPart(g_mime_multipart_get_part(GMIME_MULTIPART(part), i), mail);
        return;
    }
    GMimeStream* decoded = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(g_mime_part_get_content(GMIME_PART(part)), decoded);
    GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(decoded));
    std::string bytes(reinterpret_cast<const char*>(array->data), array->len);
    g_object_unref(decoded);
    if (g_mime_part_is_attachment(GMIME_PART(part))) {
        mail.attachments.push_back({g_mime_part_get_filename(GMIME_PART(part)), mimeType(part), bytes});
    } else {
        mail.bodyType = mimeType(part);
        mail.body = bytes;
    }
}
}  // namespace detail

inline ParsedMail parseMail(const std::string& bytes) {
    g_mime_init();
    ParsedMail mail;
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    if (message) {
        auto from = detail::addresses(g_mime_message_get_from(message));
        mail.from = from.empty() ? "" : from.front();
        mail.to = detail::addresses(g_mime_message_get_to(message));
        mail.cc = detail::addresses(g_mime_message_get_cc(message));
        if (const char* subject = g_mime_message_get_subject(message)) mail.subject = subject;
        detail::readPart(g_mime_message_get_mime_part(message), mail);
        g_object_unref(message);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    return mail;
}

}  // namespace torvane::test
