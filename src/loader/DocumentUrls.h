#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvane {

// The addresses of the catalogue documents, built from the server preferences.
class DocumentUrls {
public:
    struct List {
        std::vector<std::string> urls;
        // The alert text when the server preference is unusable (no document then).
        std::optional<std::string> refusal;
    };

    // From `pref_MODALITAFIERAENABLED`, `pref_FIERAHTTPSERVER`, `pref_HTTPSERVER`,
    // `pref_aziendaAttiva` and `pref_downloadFourStepsEnabled`.
    static List fromPreferences();
    static List build(bool fairMode, const std::optional<std::string>& fairServer,
                      const std::optional<std::string>& server, const std::optional<std::string>& company,
                      bool fourSteps);

    // A text the platform accepts as a URL: not empty, no blanks or characters outside URLs.
    static bool isValidUrl(const std::optional<std::string>& text);
    // The document name of an address: its last path component (query and fragment left out).
    static std::string lastPathComponent(const std::string& url);
};

}  // namespace torvane
