#pragma once

#include <optional>
#include <string>

namespace torvane {

// A folder of its own under the temporary folder, readable by this user only (0700), for the
// documents, signature and photo of one transmission; removed with everything in it when the
// object goes. Orders are the company's and its clients' data: they are never left behind in
// a folder others can read.
class PrivateTempFolder {
public:
    // None when the folder cannot be made.
    static std::optional<PrivateTempFolder> create(const std::string& prefix = "invio");

    PrivateTempFolder(PrivateTempFolder&& other) noexcept;
    PrivateTempFolder& operator=(PrivateTempFolder&& other) noexcept;
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;
    ~PrivateTempFolder();

    const std::string& path() const { return path_; }
    // `name` inside the folder.
    std::string file(const std::string& name) const;
    // Writes `bytes` as a file readable by this user only (0600); false on any failure.
    bool write(const std::string& name, const std::string& bytes) const;

private:
    explicit PrivateTempFolder(std::string path) : path_(std::move(path)) {}
    void remove();
    std::string path_;
};

}  // namespace torvane
