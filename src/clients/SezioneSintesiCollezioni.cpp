#include "clients/SezioneSintesiCollezioni.h"

#include <algorithm>

#include "clients/FormatiStatistica.h"

namespace torvane {

namespace {
constexpr ui::Color kVerde{0, 150, 70};
}  // namespace

void SezioneSintesiCollezioni::addCollezione(const std::vector<std::string>& riga, const Decimal& valore) {
    valori_.emplace_back(numeroRighe(), valore);
    addRiga(riga);
}

std::string SezioneSintesiCollezioni::barra(const Decimal& valore, const Decimal& massimo) {
    if (massimo <= Decimal() || valore <= Decimal()) return {};
    // Tenths of blocks, truncated to whole blocks.
    const Decimal decimi = formati::prezzoAlMetro(valore * Decimal::fromInteger(kBarraMassima), massimo);
    const long long blocchi = std::clamp<long long>(formati::interoComeNumero(decimi), 0, kBarraMassima);
    std::string text;
    for (long long i = 0; i < blocchi; ++i) text += "\u2588";
    return text;
}

ui::Row SezioneSintesiCollezioni::riga(int index) const {
    ui::Row row = Sezione5Label::riga(index);
    auto it = std::find_if(valori_.begin(), valori_.end(), [index](const auto& v) { return v.first == index; });
    if (it == valori_.end()) return row;
    Decimal massimo;
    for (const auto& [riga, valore] : valori_) massimo = std::max(massimo, valore);
    ui::Label bar;
    bar.text = barra(it->second, massimo);
    bar.color = kVerde;
    bar.pointSize = 9;
    row.items.emplace_back(std::move(bar));
    return row;
}

}  // namespace torvane
