#include "platform/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace torvane {

namespace {
constexpr const char* kEndOfOptions = "--";
}

CommandLine::CommandLine(int argc, char** argv, Words shape) : firstArgument_(shape == Words::CommandFirst ? 1 : 0) {
    for (int i = 1; i < argc; ++i) words_.emplace_back(argv[i]);
    for (auto it = words_.begin(); it != endOfOptions();) {
        if (*it == "--help" || *it == "-h") {
            help_ = true;
            it = words_.erase(it);
        } else {
            ++it;
        }
    }
    dataDir_ = takeOption("--data-dir");
    // An empty folder would silently mean the user's own folders.
    if (dataDir_ && dataDir_->empty()) error_ = "--data-dir vuoto";
}

std::vector<std::string>::iterator CommandLine::endOfOptions() {
    return std::find(words_.begin(), words_.end(), kEndOfOptions);
}

std::optional<std::string> CommandLine::takeOption(const std::string& name) {
    for (auto it = words_.begin(); it != endOfOptions(); ++it) {
        if (*it == name) {
            if (it + 1 == words_.end() || *(it + 1) == kEndOfOptions) {
                error_ = "manca il valore di " + name;
                words_.erase(it);
                return std::nullopt;
            }
            std::string value = *(it + 1);
            words_.erase(it, it + 2);
            return value;
        }
        if (it->rfind(name + "=", 0) == 0) {
            std::string value = it->substr(name.size() + 1);
            words_.erase(it);
            return value;
        }
    }
    return std::nullopt;
}

bool CommandLine::takeFlag(const std::string& name) {
    auto end = endOfOptions();
    auto found = std::find(words_.begin(), end, name);
    if (found == end) return false;
    words_.erase(found);
    return true;
}

std::optional<long long> CommandLine::takeNumber(const std::string& name, long long min, long long max) {
    auto text = takeOption(name);
    if (!text) return std::nullopt;
    long long value = 0;
    const char* begin = text->data();
    const char* end = begin + text->size();
    // Digits only: from_chars alone would take a sign, and stop quietly at "12abc".
    bool digits = !text->empty() && std::all_of(begin, end, [](char c) { return c >= '0' && c <= '9'; });
    auto [stop, failure] = std::from_chars(begin, end, value);
    if (!digits || failure != std::errc() || stop != end || value < min || value > max) {
        error_ = name + " vuole un numero da " + std::to_string(min) + " a " + std::to_string(max) + ": " + *text;
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> CommandLine::arguments() const {
    std::vector<std::string> rest;
    bool ended = false;
    for (std::size_t i = firstArgument_; i < words_.size(); ++i) {
        if (!ended && words_[i] == kEndOfOptions) {
            ended = true;
            continue;
        }
        rest.push_back(words_[i]);
    }
    return rest;
}

std::optional<std::string> CommandLine::unknownOption() const {
    for (std::size_t i = firstArgument_; i < words_.size() && words_[i] != kEndOfOptions; ++i)
        if (words_[i].rfind("--", 0) == 0) return "opzione sconosciuta: " + words_[i];
    return std::nullopt;
}

std::optional<std::string> CommandLine::leftOver() const {
    if (error_) return error_;
    if (auto option = unknownOption()) return option;
    auto rest = arguments();
    if (!rest.empty()) return "argomento inatteso: " + rest.front();
    return std::nullopt;
}

int CommandLine::usageError(const std::string& problem, const std::string& usage) {
    std::cerr << problem << "\nuso:\n" << usage;
    return 2;
}

}  // namespace torvane
