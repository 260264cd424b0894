#include "review/OrderUpload.h"

#include <chrono>

#include "platform/DateFormat.h"
#include "platform/Device.h"
#include "platform/Format.h"
#include "platform/Http.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/AtomicFile.h"
#include "store/Entities.h"

namespace torvane {

namespace {

std::string fileNamePart(const std::string& text) {
    std::string safe = text;
    for (char& c : safe) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || c == '"' || u < 0x20 || u == 0x7f) c = '_';
    }
    return safe;
}

// Strict UTF-8: an answer that is not text counts as no answer.
bool isUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : (c >> 3) == 0x1e ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? c : c & (0xff >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80) return false;
            code = (code << 6) | (next & 0x3f);
        }
        static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return false;
        i += length;
    }
    return true;
}


}  // namespace

UploadRequest OrderUpload::requestFor(const SceltaTestata& testata, const std::string& xmlPath) {
    const Preferences& prefs = Preferences::standard();
    UploadRequest request;
    request.serverUrl = prefs.stringForKey(keys::pref_FIERAHTTPSERVER).value_or("");
    request.user = prefs.stringForKey(keys::pref_user).value_or("");
    request.udid = Device::identifier();
    request.dataCreazione = testata.dataCreazione();
    request.codice = testata.codice().value_or(0);
    request.xmlPath = xmlPath;
    return request;
}

OrderUpload::OrderUpload(UploadRequest request, UploadTimeouts timeouts, std::function<Timestamp()> clock)
    : request_(std::move(request)), timeouts_(timeouts), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return std::chrono::system_clock::now(); };
}

std::string OrderUpload::uploadFileName(const std::string& user, const std::string& udid,
                                        const std::optional<Timestamp>& dataCreazione, long long codice, int attempt,
                                        Timestamp now) {
    // "YY" is the year of the week, as the fair PC's names have always had it.
    const DateFormat stamp("YYMMddHHmmss");
    const std::string pattern = "ORDINE_%@_%@_%@_%05d_" + std::to_string(attempt) + "_%@.xml";
    return format(pattern, fileNamePart(user), fileNamePart(udid),
                  dataCreazione ? stamp.format(*dataCreazione) : std::string(), codice, stamp.format(now));
}

std::string OrderUpload::multipartBody(const std::string& fileName, const std::string& bytes) {
    // The fair PC's receivers expect these bytes exactly (the empty line before the first
    // delimiter, the extra line break before the closing one), so the body is laid out here
    // rather than by libcurl's form builder, which writes its own boundary and layout.
    std::string body = format("\r\n--%@\r\n", boundary);
    body += format("Content-Disposition: form-data; name=\"userfile\"; filename=\"%@\"\r\n", fileName);
    body += "Content-Type: application/octet-stream\r\n\r\n";
    body += bytes;
    body += format("\r\n\r\n--%@--\r\n", boundary);
    return body;
}

std::string OrderUpload::uploadUrl(const std::string& serverUrl) {
    if (serverUrl.empty()) return "upload.php";
    return serverUrl.back() == '/' ? serverUrl + "upload.php" : serverUrl + "/upload.php";
}

int OrderUpload::postXmlFile(const std::string& path, const std::string& name, double timeout) const {
    Log::f("Http Server:%@", request_.serverUrl);
    const std::string url = uploadUrl(request_.serverUrl);
    Log::f("URL upload :%@", url);
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) {
        Log::f("File da inviare non leggibile: %@", path);
        return -1;
    }
    const auto limit = std::chrono::milliseconds(static_cast<long long>(timeout * 1000.0));
    const HttpResponse response =
        Http::post(url, multipartBody(name, *bytes),
                   {format("Content-Type: multipart/form-data; boundary=%@", boundary)}, limit);
    const bool text = response.data && isUtf8(*response.data);
    Log::f("Risposta HTTP :%@:", text ? *response.data : std::string("(null)"));
    if (!response.data) {
        Log::f("Nessuna risposta dal PC Fiera: %@", response.error);
        return -1;
    }
    // An error status is a failure whatever its page says.
    const bool accepted = response.status >= 200 && response.status < 300;
    return text && accepted && response.data->find(" successfully ") != std::string::npos ? 0 : -1;
}

UploadResult OrderUpload::inviaOrdine(const std::function<void(int attempt)>& onAttempt) const {
    UploadResult result;
    for (int attempt = 1; attempt <= 3 && !result.sent; ++attempt) {
        const std::string name = uploadFileName(request_.user, request_.udid, request_.dataCreazione,
                                                request_.codice, attempt, clock_());
        result.fileNames.push_back(name);
        if (onAttempt) onAttempt(attempt);
        Log::f("Invio Ordine %d^ tentativo: %@ ...", attempt, name);
        result.lastResult = postXmlFile(request_.xmlPath, name, timeouts_[attempt - 1]);
        result.sent = result.lastResult == 0;
    }
    return result;
}

}  // namespace torvane
