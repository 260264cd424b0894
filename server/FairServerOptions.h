#pragma once

#include <optional>
#include <string>
#include <variant>

namespace torvane::fiera {

// The command line: torvane-fiera --dir D [--port 8080] [--bind ADDRESS] [--pagina-password P] [--profili FILE]
// and the limits a stand may tune to its network.
struct FairServerOptions {
    std::string dir;
    int port = 8080;  // 0: any free port
    std::string bind = "127.0.0.1";  // a LAN address only when the operator names one
    std::optional<std::string> pagePassword;
    std::optional<std::string> profiles;  // --profili FILE: also the user-profile service
    // Connections open at once, in all and from one address (a device needs a few).
    unsigned maxConnections = 256;
    unsigned maxPerAddress = 16;
    // Seconds a client has to send a request's headers, whatever it sends meanwhile.
    unsigned headerSeconds = 10;
    // Bytes a second a body or an answer must average, after the first 10 seconds.
    unsigned minimumRate = 4096;

    static constexpr const char* usage =
        "uso: torvane-fiera --dir CARTELLA [--port 8080] [--bind INDIRIZZO] [--pagina-password PAROLA] "
        "[--profili FILE] [--max-connessioni 256] [--max-per-indirizzo 16] [--tempo-intestazioni 10] "
        "[--velocita-minima 4096]";

    // The options, or the text of what is wrong with the words given.
    static std::variant<FairServerOptions, std::string> parse(int argc, const char* const argv[]);
};

}  // namespace torvane::fiera
