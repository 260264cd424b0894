#pragma once

#include <optional>
#include <string>
#include <variant>

namespace torvane::fiera {

// The command line: torvane-fiera --dir D [--port 8080] [--bind ADDRESS] [--pagina-password P] [--profili FILE].
struct FairServerOptions {
    std::string dir;
    int port = 8080;  // 0: any free port
    std::string bind = "127.0.0.1";  // a LAN address only when the operator names one
    std::optional<std::string> pagePassword;
    std::optional<std::string> profiles;  // --profili FILE: also the user-profile service

    static constexpr const char* usage =
        "uso: torvane-fiera --dir CARTELLA [--port 8080] [--bind INDIRIZZO] [--pagina-password PAROLA] "
        "[--profili FILE]";

    // The options, or the text of what is wrong with the words given.
    static std::variant<FairServerOptions, std::string> parse(int argc, const char* const argv[]);
};

}  // namespace torvane::fiera
