#include "FairServerOptions.h"

#include <charconv>
#include <string_view>

namespace torvane::fiera {

namespace {

unsigned FairServerOptions::*limitNamed(std::string_view word) {
    if (word == "--max-connessioni") return &FairServerOptions::maxConnections;
    if (word == "--max-per-indirizzo") return &FairServerOptions::maxPerAddress;
    if (word == "--tempo-intestazioni") return &FairServerOptions::headerSeconds;
    if (word == "--velocita-minima") return &FairServerOptions::minimumRate;
    return nullptr;
}

}  // namespace

std::variant<FairServerOptions, std::string> FairServerOptions::parse(int argc, const char* const argv[]) {
    FairServerOptions options;
    bool haveDir = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (unsigned FairServerOptions::*limit = limitNamed(word)) {
            const std::optional<std::string> given = value();
            if (!given) return std::string(word) + " senza valore";
            unsigned number = 0;
            const auto [end, error] = std::from_chars(given->data(), given->data() + given->size(), number);
            if (error != std::errc() || end != given->data() + given->size() || number == 0 || number > 1000000)
                return std::string(word) + " non valido: " + *given;
            options.*limit = number;
        } else if (word == "--dir" || word == "--port" || word == "--bind" || word == "--pagina-password" ||
                   word == "--profili") {
            const std::optional<std::string> given = value();
            if (!given) return std::string(word) + " senza valore";
            if (word == "--dir") {
                if (given->empty()) return std::string("--dir vuoto");
                options.dir = *given;
                haveDir = true;
            } else if (word == "--port") {
                int port = -1;
                const auto [end, error] = std::from_chars(given->data(), given->data() + given->size(), port);
                if (error != std::errc() || end != given->data() + given->size() || port < 0 || port > 65535)
                    return "porta non valida: " + *given;
                options.port = port;
            } else if (word == "--bind") {
                if (given->empty()) return std::string("--bind vuoto");
                options.bind = *given;
            } else if (word == "--profili") {
                if (given->empty()) return std::string("--profili vuoto");
                options.profiles = *given;
            } else {
                if (given->empty()) return std::string("--pagina-password vuota");
                options.pagePassword = *given;
            }
        } else {
            return "opzione sconosciuta: " + std::string(word);
        }
    }
    if (!haveDir) return std::string("manca --dir");
    return options;
}

}  // namespace torvane::fiera
