#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/IsoDate.h"

namespace torvane {

class SceltaTestata;

// Everything an upload needs, read on the main thread from the order, the preferences and
// the device before the network runs, so the attempts touch neither the store nor a screen.
struct UploadRequest {
    std::string serverUrl;  // pref_FIERAHTTPSERVER, the fair PC's base URL
    std::string user;       // pref_user
    std::string udid;       // the device identifier, as in the order document
    std::optional<Timestamp> dataCreazione;
    long long codice = 0;
    std::string xmlPath;    // the order document already written
};

// Seconds each attempt may take; tests shorten them.
using UploadTimeouts = std::array<double, 3>;
inline constexpr UploadTimeouts defaultUploadTimeouts{10.0, 15.0, 20.0};

// How the attempts ended.
struct UploadResult {
    bool sent = false;
    int lastResult = -1;                 // what the last attempt returned (0 sent, -1 failed)
    std::vector<std::string> fileNames;  // the name each attempt used, in order
};

// The upload of an order document to the fair PC: a multipart POST of the file to
// "upload.php" under the configured server, up to three attempts, each under its own name
// and with a longer time-out. An attempt succeeds only on an answer whose text holds
// " successfully ".
class OrderUpload {
public:
    static constexpr const char* boundary = "---------------------------14737809831466499882746641449";

    // Main thread: the request for this order and its written document.
    static UploadRequest requestFor(const SceltaTestata& testata, const std::string& xmlPath);

    explicit OrderUpload(UploadRequest request, UploadTimeouts timeouts = defaultUploadTimeouts,
                         std::function<Timestamp()> clock = {});

    // One attempt: 0 when the upload succeeded, -1 otherwise. Any thread.
    int postXmlFile(const std::string& path, const std::string& name, double timeout) const;

    // The attempts in sequence, stopping at the first success. Any thread; blocks for at
    // most the sum of the time-outs.
    // `onAttempt` hears each attempt's number as it starts (on the thread that runs them).
    UploadResult inviaOrdine(const std::function<void(int attempt)>& onAttempt = {}) const;

    // "ORDINE_<user>_<udid>_<created YYMMddHHmmss>_<%05d number>_<attempt>_<now YYMMddHHmmss>.xml".
    // Characters that would end the quoted name in the request or make it a path ("/", "\",
    // '"', control characters) become "_".
    static std::string uploadFileName(const std::string& user, const std::string& udid,
                                      const std::optional<Timestamp>& dataCreazione, long long codice, int attempt,
                                      Timestamp now);
    // The request body around the file's bytes.
    static std::string multipartBody(const std::string& fileName, const std::string& bytes);
    // "upload.php" appended to the base URL as a path component.
    static std::string uploadUrl(const std::string& serverUrl);

private:
    UploadRequest request_;
    UploadTimeouts timeouts_;
    std::function<Timestamp()> clock_;
};

}  // namespace torvane
