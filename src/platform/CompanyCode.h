#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// A company code, checked once where it enters (the login answer, the company switch, a
// catalogue parameter, the command line, the preferences read at start). A code becomes file
// names (its store, its photo folder), so only plain codes are taken: letters, digits, "-"
// and "_", 1 to 32 characters, as the profile service gives them. Every file name made from a
// code is made here, so no other code can reach the disk.
class CompanyCode {
public:
    static constexpr std::size_t maxLength = 32;
    static bool isPlain(std::string_view code);

    // The code when it is plain; none otherwise.
    static std::optional<CompanyCode> from(std::string_view text);
    // The same, and a code that is not plain is logged as refused, with where it came from.
    static std::optional<CompanyCode> checked(std::string_view text, std::string_view from);

    const std::string& text() const { return code_; }
    bool operator==(const CompanyCode&) const = default;

    // "Database<code>.sqllite" and "FotoCache<code>", names inside the documents folder.
    std::string storeFileName() const;
    std::string photoFolderName() const;

private:
    explicit CompanyCode(std::string code) : code_(std::move(code)) {}
    std::string code_;
};

}  // namespace torvane
