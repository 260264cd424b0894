#include "platform/Device.h"

#include <openssl/evp.h>
#include <sys/utsname.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/Format.h"
#include "platform/Paths.h"

namespace torvane {

namespace fs = std::filesystem;

namespace {

std::string firstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// Hex SHA-256 of the application name and the machine id: the machine id itself is not
// handed out to servers.
std::string digest(const std::string& text) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), out, &length, EVP_sha256(), nullptr);
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) hex += format("%02X", out[i]);
    return hex;
}

// Upper-case UUID layout, as the platform's device identifiers look.
std::string asUuid(const std::string& hex) {
    std::string h = hex.substr(0, 32);
    return h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" + h.substr(16, 4) + "-" + h.substr(20, 12);
}

}  // namespace

std::string Device::identifier() {
    std::string machine = firstLine("/etc/machine-id");
    if (machine.empty()) machine = firstLine("/var/lib/dbus/machine-id");
    if (!machine.empty()) return asUuid(digest("torvane:" + machine));

    fs::path kept = fs::path(Paths::ensure(Paths::config())) / "device-id";
    std::string existing = firstLine(kept.string());
    if (!existing.empty()) return existing;
    std::random_device random;
    std::ostringstream seed;
    for (int i = 0; i < 8; ++i) seed << random();
    std::string generated = asUuid(digest(seed.str()));
    std::ofstream(kept) << generated << '\n';
    return generated;
}

std::string Device::systemVersion() {
    std::ifstream in("/etc/os-release");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            std::string value = line.substr(12);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    struct utsname info{};
    if (uname(&info) == 0) return std::string(info.sysname) + " " + info.release;
    return "Linux";
}

}  // namespace torvane
