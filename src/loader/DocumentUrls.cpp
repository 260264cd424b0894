#include "loader/DocumentUrls.h"

#include <cctype>
#include <cstring>

#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane {

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Where the path of a URL ends (before "?" or "#").
std::size_t pathEnd(const std::string& url) {
    std::size_t end = url.find_first_of("?#");
    return end == std::string::npos ? url.size() : end;
}

// "name" becomes "name.ext". A path that ends in "/" (or a bare host) has no last component to
// extend, so the extension becomes the document's name inside that folder.
std::string appendingPathExtension(const std::string& url, const std::string& extension) {
    std::size_t end = pathEnd(url);
    std::string path = url.substr(0, end);
    std::string rest = url.substr(end);
    std::size_t scheme = path.find("://");
    bool bareHost = scheme != std::string::npos && path.find('/', scheme + 3) == std::string::npos;
    if (bareHost) return path + "/" + extension + rest;
    if (endsWith(path, "/")) return path + extension + rest;
    return path + "." + extension + rest;
}

std::string appendingPathComponent(const std::string& url, const std::string& component) {
    std::size_t end = pathEnd(url);
    std::string path = url.substr(0, end);
    return (endsWith(path, "/") ? path : path + "/") + component + url.substr(end);
}

}  // namespace

bool DocumentUrls::isValidUrl(const std::optional<std::string>& text) {
    if (!text || text->empty()) return false;
    static const char* allowed = "-._~:/?#[]@!$&'()*+,;=%";
    for (unsigned char c : *text) {
        if (c >= 0x80) return false;
        if (!std::isalnum(c) && !std::strchr(allowed, c)) return false;
    }
    return true;
}

std::string DocumentUrls::lastPathComponent(const std::string& url) {
    std::string path = url.substr(0, pathEnd(url));
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

DocumentUrls::List DocumentUrls::build(bool fairMode, const std::optional<std::string>& fairServer,
                                       const std::optional<std::string>& server,
                                       const std::optional<std::string>& company, bool fourSteps) {
    List list;
    if (fairMode) {
        if (!isValidUrl(fairServer)) {
            list.refusal = "Imposta indirizzo HTTP del PC Fiera !!!";
            return list;
        }
        const std::string& s = *fairServer;
        list.urls.push_back(s.size() >= 2 && endsWith(s, "/") ? s + "fiere.xml" : s);
        return list;
    }
    if (!isValidUrl(server)) {
        list.refusal = "Manca l'indirizzo HTTP !!!";
        return list;
    }
    std::string s = *server;
    if (s.size() >= 5 && endsWith(s, ".xml")) {
        list.urls.push_back(appendingPathExtension(s, "L1.xml"));
        return list;
    }
    if (company && !company->empty() && s.size() >= 2 && endsWith(s, "/")) s = appendingPathComponent(s, *company);
    if (fourSteps) {
        for (int step = 1; step <= 4; ++step)
            list.urls.push_back(appendingPathExtension(s, "LEV" + std::to_string(step) + ".xml"));
    } else {
        list.urls.push_back(appendingPathExtension(s, "L1.xml"));
    }
    return list;
}

DocumentUrls::List DocumentUrls::fromPreferences() {
    auto& prefs = Preferences::standard();
    return build(prefs.boolForKey(keys::pref_MODALITAFIERAENABLED), prefs.stringForKey(keys::pref_FIERAHTTPSERVER),
                 prefs.stringForKey(keys::pref_HTTPSERVER), prefs.stringForKey(keys::pref_aziendaAttiva),
                 prefs.boolForKey(keys::pref_downloadFourStepsEnabled));
}

}  // namespace torvane
