#pragma once

#include <memory>
#include <optional>
#include <string>

#include "rules/SceltaCorrente.h"

namespace torvane {

class Database;

// What the scan rules need of the order-entry screen: the line being composed, the store it
// works on, the values a code sets and the screen's beep and alerts. The screen implements it,
// so the rules stay below the screens that use them.
class ScanTarget {
public:
    virtual ~ScanTarget() = default;

    virtual const SceltaCorrente& scelta() const = 0;
    // None when no store is open.
    virtual std::shared_ptr<Database> store() const = 0;

    virtual void impostaListino(const std::string& barCode) = 0;
    virtual void impostaArticolo(const std::optional<std::string>& barCode) = 0;
    virtual void impostaSerie(const std::string& serie) = 0;
    virtual void impostaColoreByBarcode(const std::optional<std::string>& barCode) = 0;
    virtual void impostaQuantita(const std::optional<std::string>& quantita) = 0;
    virtual void confirmTapped() = 0;

    virtual void boopa() = 0;
    virtual void aggiorna() = 0;
    virtual void avvisa(std::optional<std::string> title, const std::string& message,
                        const std::string& button = "Continua") = 0;
};

}  // namespace torvane
