#pragma once

#include <vector>

#include "clients/Sezione5Label.h"
#include "platform/Decimal.h"

namespace torvane {

// The summary per collection: a five-column table whose collection rows end with a small bar
// of their value against the largest collection's, read at a glance.
class SezioneSintesiCollezioni : public Sezione5Label {
public:
    using Sezione5Label::Sezione5Label;
    // The row of a collection and the value its bar measures.
    void addCollezione(const std::vector<std::string>& riga, const Decimal& valore);
    ui::Row riga(int index) const override;

    static constexpr int kBarraMassima = 20;  // blocks of the largest value's bar
    // The bar of `valore` against `massimo`: whole blocks, none for values not above zero.
    static std::string barra(const Decimal& valore, const Decimal& massimo);

private:
    std::vector<std::pair<int, Decimal>> valori_;  // row index, value
};

}  // namespace torvane
