#pragma once

#include <string>
#include <string_view>

namespace torvane::fiera {

// The name an uploaded order is stored under, made from the name the device sent: one plain
// file name in the orders folder whatever was sent.
class UploadName {
public:
    static constexpr std::size_t maxLength = 200;  // bytes, always ending on a whole character

    // Path separators, control characters and characters no file system takes become "_";
    // ".." and leading dots go (no parent folder, no hidden file); at most `maxLength` bytes;
    // ".xml" at the end; "ordine.xml" when nothing is left.
    static std::string sanitised(std::string_view sent);
    // The n-th name tried when `name` is taken: "x.xml" -> "x-2.xml" (n = 2), within the length.
    static std::string alternative(const std::string& name, int n);
};

}  // namespace torvane::fiera
