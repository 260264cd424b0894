#pragma once

#include <optional>
#include <string>

namespace torvane {

class Database;
class ScanTarget;
struct BarcodeLengths;

// Tells a scanned code on the order-entry screen by its length: the cancel card, a series, a
// price list, an article (alone or with its series), an article-colour code, a colour. The
// first rule that matches decides; every refusal gives the error beep, and an alert where the
// agent has something to do.
class ScanClassifier {
public:
    explicit ScanClassifier(ScanTarget& screen);

    void classify(const std::string& code);

private:
    bool isSeriesCode(const std::string& code) const;
    void series(Database& database, const std::string& code);
    void listino(Database& database, const std::string& code);
    void articoloColore(Database& database, const std::string& code);
    void articolo(Database& database, const std::string& code, const BarcodeLengths& lengths);
    void colore(Database& database, const std::string& code);
    // The series a series code stands for; none (after the alert) when it is unknown.
    std::optional<std::string> serieOf(Database& database, const std::string& code);
    // A colour code "9nnnnn" of six characters stands for colour nnnnn without leading zeros.
    static std::optional<std::string> numberedColour(const std::string& code);

    ScanTarget& screen_;
};

}  // namespace torvane
