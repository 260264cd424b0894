#include "mail/MailMessage.h"

#include <gmime/gmime.h>

#include <chrono>
#include <cstdlib>
#include <mutex>

#include "mail/MailAddress.h"
#include "platform/Log.h"

namespace torvane {

namespace {

void initialiseGMimeOnce() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// GObject references held for one scope.
template <typename T>
struct Held {
    T* object;
    explicit Held(T* o) : object(o) {}
    ~Held() {
        if (object) g_object_unref(object);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
};

std::string withoutControlCharacters(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return text;
}

void addMailboxes(GMimeMessage* message, GMimeAddressType type, const std::vector<std::string>& addresses) {
    for (const std::string& address : addresses) {
        if (!MailAddress::isAcceptable(address)) {
            Log::f("Indirizzo scartato dal messaggio: %@", withoutControlCharacters(address));
            continue;
        }
        g_mime_message_add_mailbox(message, type, nullptr, address.c_str());
    }
}

void setContent(GMimePart* part, const std::string& bytes) {
    Held<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    Held<GMimeDataWrapper> content(g_mime_data_wrapper_new_with_stream(stream.object, GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.object);
}

// The text goes as the UTF-8 it is, in the lightest encoding that keeps it 7-bit.
GMimeObject* bodyPart(const MailDraft& draft) {
    const bool html = draft.htmlBody.has_value();
    GMimePart* part = g_mime_part_new_with_type("text", html ? "html" : "plain");
    setContent(part, html ? *draft.htmlBody : draft.textBody.value_or(""));
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "utf-8");
    g_mime_part_set_content_encoding(part, g_mime_part_get_best_content_encoding(part, GMIME_ENCODING_CONSTRAINT_7BIT));
    return GMIME_OBJECT(part);
}

GMimeObject* attachmentPart(const MailAttachment& attachment) {
    const auto slash = attachment.mediaType.find('/');
    const std::string type = slash == std::string::npos ? "application" : attachment.mediaType.substr(0, slash);
    const std::string subtype = slash == std::string::npos ? "octet-stream" : attachment.mediaType.substr(slash + 1);
    GMimePart* part = g_mime_part_new_with_type(type.c_str(), subtype.c_str());
    setContent(part, attachment.bytes);
    g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_ATTACHMENT);
    g_mime_part_set_filename(part, withoutControlCharacters(attachment.fileName).c_str());
    if (type == "text") g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "utf-8");
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    return GMIME_OBJECT(part);
}

std::vector<std::string> addressesOf(InternetAddressList* list) {
    std::vector<std::string> out;
    const int count = list ? internet_address_list_length(list) : 0;
    for (int i = 0; i < count; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            if (const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))) out.emplace_back(addr);
        } else if (INTERNET_ADDRESS_IS_GROUP(address)) {
            auto members = addressesOf(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)));
            out.insert(out.end(), members.begin(), members.end());
        }
    }
    return out;
}

}  // namespace

std::string MailMessage::build(const MailDraft& draft, const std::string& from, Timestamp date) {
    initialiseGMimeOnce();
    Held<GMimeMessage> message(g_mime_message_new(TRUE));
    addMailboxes(message.object, GMIME_ADDRESS_TYPE_FROM, {from});
    addMailboxes(message.object, GMIME_ADDRESS_TYPE_TO, draft.to);
    addMailboxes(message.object, GMIME_ADDRESS_TYPE_CC, draft.cc);
    g_mime_message_set_subject(message.object, withoutControlCharacters(draft.subject).c_str(), "utf-8");
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
    GDateTime* when = g_date_time_new_from_unix_local(seconds);
    g_mime_message_set_date(message.object, when);
    g_date_time_unref(when);
    const auto at = from.find('@');
    const std::string domain = MailAddress::isAcceptable(from) ? from.substr(at + 1) : "torvane.invalid";
    char* id = g_mime_utils_generate_message_id(domain.c_str());
    g_mime_message_set_message_id(message.object, id);
    g_free(id);
    if (draft.codiceOrdine)
        g_mime_object_set_header(GMIME_OBJECT(message.object), kOrderHeader, std::to_string(*draft.codiceOrdine).c_str(),
                                 nullptr);

    GMimeObject* body = bodyPart(draft);
    if (draft.attachments.empty()) {
        g_mime_message_set_mime_part(message.object, body);
    } else {
        Held<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        // A message without a body still opens with an empty text, as mail programs expect.
        g_mime_multipart_add(mixed.object, body);
        for (const MailAttachment& attachment : draft.attachments) {
            GMimeObject* part = attachmentPart(attachment);
            g_mime_multipart_add(mixed.object, part);
            g_object_unref(part);
        }
        g_mime_message_set_mime_part(message.object, GMIME_OBJECT(mixed.object));
    }
    g_object_unref(body);

    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    Held<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(message.object), options, out.object);
    g_mime_format_options_free(options);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.object));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

std::optional<MailEnvelope> MailMessage::read(const std::string& bytes) {
    initialiseGMimeOnce();
    Held<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    Held<GMimeParser> parser(g_mime_parser_new_with_stream(stream.object));
    Held<GMimeMessage> message(g_mime_parser_construct_message(parser.object, nullptr));
    if (!message.object) return std::nullopt;
    MailEnvelope envelope;
    auto from = addressesOf(g_mime_message_get_from(message.object));
    if (!from.empty()) envelope.from = from.front();
    envelope.to = addressesOf(g_mime_message_get_to(message.object));
    envelope.cc = addressesOf(g_mime_message_get_cc(message.object));
    if (const char* subject = g_mime_message_get_subject(message.object)) envelope.subject = subject;
    if (const char* ordine = g_mime_object_get_header(GMIME_OBJECT(message.object), kOrderHeader)) {
        char* end = nullptr;
        const long long codice = std::strtoll(ordine, &end, 10);
        if (end != ordine && *end == '\0') envelope.codiceOrdine = codice;
    }
    return envelope;
}

}  // namespace torvane
