#include "FileConditions.h"

#include "HttpDate.h"

namespace torvane::fiera {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
    return true;
}

// Calls `each` with every element of a comma-separated header list, trimmed.
template <typename F>
void forEachElement(std::string_view list, F&& each) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view element = trimmed(list.substr(0, comma));
        if (!element.empty()) each(element);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
}

}  // namespace

bool FileConditions::acceptsGzip(std::string_view acceptEncoding) {
    bool accepted = false;
    forEachElement(acceptEncoding, [&](std::string_view element) {
        const std::size_t semicolon = element.find(';');
        const std::string_view coding = trimmed(element.substr(0, semicolon));
        if (!equalsIgnoringCase(coding, "gzip") && coding != "*") return;
        bool refused = false;
        if (semicolon != std::string_view::npos) {
            std::string_view parameter = trimmed(element.substr(semicolon + 1));
            if (parameter.size() >= 2 && (parameter[0] | 0x20) == 'q' && parameter[1] == '=') {
                parameter.remove_prefix(2);
                refused = parameter.find_first_not_of("0.") == std::string_view::npos;  // q=0, q=0.0 ...
            }
        }
        if (!refused) accepted = true;
    });
    return accepted;
}

bool FileConditions::notModified(const FileRequest& request, const std::string& etag, std::time_t modified) {
    if (!request.ifNoneMatch.empty()) {
        bool matched = false;
        forEachElement(request.ifNoneMatch, [&](std::string_view tag) {
            if (tag == "*") matched = true;
            if (tag.substr(0, 2) == "W/") tag.remove_prefix(2);  // weak comparison here
            if (tag == etag) matched = true;
        });
        return matched;
    }
    if (request.ifModifiedSince.empty()) return false;
    const std::optional<std::time_t> since = HttpDate::parse(request.ifModifiedSince);
    return since && modified <= *since;
}

ByteRanges::Selection FileConditions::ranges(const FileRequest& request, const std::string& etag,
                                             std::time_t modified, std::uint64_t size) {
    if (request.range.empty()) return {};
    if (!request.ifRange.empty()) {
        const std::string_view condition = trimmed(request.ifRange);
        if (condition.empty()) return {};
        if (condition.front() == '"' || condition.substr(0, 2) == "W/") {
            if (condition != etag) return {};  // strong comparison: a weak tag never matches
        } else {
            const std::optional<std::time_t> date = HttpDate::parse(condition);
            if (!date || *date != modified) return {};
        }
    }
    return ByteRanges::select(request.range, size);
}

}  // namespace torvane::fiera
