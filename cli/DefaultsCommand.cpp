#include "DefaultsCommand.h"

#include <unicode/utf8.h>

#include <charconv>
#include <cmath>
#include <iostream>
#include <ostream>

#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "CommandRegistry.h"

namespace torvane::cli {

namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The type a key is written with when none is given: the key table's, else text.
std::string defaultTypeOf(const std::string& key) {
    auto info = keyInfo(key);
    if (!info) return "string";
    switch (info->type) {
        case KeyType::Boolean: return "bool";
        case KeyType::Integer: return "int";
        default: return "string";
    }
}

std::optional<PreferenceValue> parseValue(const std::string& text, const std::string& type) {
    if (type == "string") return PreferenceValue{text};
    if (type == "bool") {
        std::string t = lower(text);
        if (t == "1" || t == "yes" || t == "true") return PreferenceValue{true};
        if (t == "0" || t == "no" || t == "false") return PreferenceValue{false};
        return std::nullopt;
    }
    if (type == "int") {
        long long value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
        return PreferenceValue{value};
    }
    if (type == "real") {
        // "nan" and "inf" parse, but no reader could make anything of them.
        double value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
        return PreferenceValue{value};
    }
    return std::nullopt;
}

// The preferences file is JSON, which holds UTF-8 text only.
bool isUtf8(const std::string& text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    int32_t length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

}  // namespace

const char* DefaultsCommand::usage() {
    return "  defaults read [CHIAVE]\n"
           "  defaults write CHIAVE VALORE [--type string|bool|int|real]\n"
           "  defaults delete CHIAVE\n";
}

int DefaultsCommand::run(const std::vector<std::string>& words, const std::string& type) {
    if (words.empty()) {
        err_ << "uso:\n" << usage();
        return 2;
    }
    if (words[0] == "read") return read(words);
    if (words[0] == "write") return write(words, type);
    if (words[0] == "delete") return remove(words);
    err_ << "comando defaults sconosciuto: " << words[0] << "\nuso:\n" << usage();
    return 2;
}

int DefaultsCommand::read(const std::vector<std::string>& words) {
    if (words.size() > 2) {
        err_ << "uso:\n" << usage();
        return 2;
    }
    if (words.size() == 1) {
        for (const auto& [key, value] : preferences_.storedEntries())
            out_ << key << ' ' << Preferences::describe(value) << '\n';
        return 0;
    }
    auto value = preferences_.objectForKey(words[1]);
    if (!value) {
        err_ << "La chiave " << words[1] << " non ha valore\n";
        return 1;
    }
    out_ << Preferences::describe(*value) << '\n';
    return 0;
}

int DefaultsCommand::write(const std::vector<std::string>& words, const std::string& type) {
    if (words.size() != 3) {
        err_ << "uso:\n" << usage();
        return 2;
    }
    const std::string& key = words[1];
    if (key.empty()) {
        err_ << "La chiave non puo' essere vuota\n";
        return 2;
    }
    if (!isUtf8(key) || !isUtf8(words[2])) {
        err_ << "Chiave e valore devono essere testo UTF-8\n";
        return 2;
    }
    std::string chosen = type.empty() ? defaultTypeOf(key) : type;
    if (chosen != "string" && chosen != "bool" && chosen != "int" && chosen != "real") {
        err_ << "tipo sconosciuto: " << chosen << " (string, bool, int, real)\n";
        return 2;
    }
    auto value = parseValue(words[2], chosen);
    if (!value) {
        err_ << "Valore non valido per il tipo " << chosen << ": " << words[2] << '\n';
        return 2;
    }
    preferences_.setObject(key, std::move(*value));
    if (!preferences_.synchronize()) {
        err_ << "Non riesco a salvare le preferenze in " << preferences_.filePath() << '\n';
        return 2;
    }
    return 0;
}

int DefaultsCommand::remove(const std::vector<std::string>& words) {
    if (words.size() != 2) {
        err_ << "uso:\n" << usage();
        return 2;
    }
    preferences_.removeObjectForKey(words[1]);
    if (!preferences_.synchronize()) {
        err_ << "Non riesco a salvare le preferenze in " << preferences_.filePath() << '\n';
        return 2;
    }
    return 0;
}

}  // namespace torvane::cli

namespace torvane::cli {
namespace {

const CommandRegistration registration("defaults", DefaultsCommand::usage(), [](CommandLine& line) {
    std::string type = line.takeOption("--type").value_or("");
    if (line.error()) return CommandLine::usageError(*line.error(), DefaultsCommand::usage());
    // Keys and values beginning with "--" go after a "--".
    if (auto option = line.unknownOption()) return CommandLine::usageError(*option, DefaultsCommand::usage());
    return DefaultsCommand(Preferences::standard(), std::cout, std::cerr).run(line.arguments(), type);
});

}  // namespace
}  // namespace torvane::cli
