#include "clients/SezioneSintesiAnno.h"

#include "clients/FormatiStatistica.h"
#include "platform/Bundle.h"
#include "platform/NumberFormat.h"

namespace torvane {

namespace {
constexpr int kBarraMassima = 140;
const char* const kBarre[] = {"berra_rossa.png", "barra_verde.png"};
}  // namespace

SezioneSintesiAnno::SezioneSintesiAnno(std::string titolo_, std::vector<Anno> anni)
    : Sezione(std::move(titolo_), 2), anni_(std::move(anni)) {
    static const NumberFormat kDecimale("#,##0.00");
    std::vector<std::string> campi;
    for (const Anno& anno : anni_) {
        campi.push_back(anno.anno);
        campi.push_back(kDecimale.format(anno.fatturato));
    }
    addRiga(campi);
}

int SezioneSintesiAnno::larghezzaBarra(const Decimal& valore, const Decimal& massimo) {
    if (massimo <= Decimal() || valore <= Decimal()) return 0;
    // 140 × valore / massimo, in tenths, then truncated.
    const Decimal decimi = formati::prezzoAlMetro(valore * Decimal::fromInteger(kBarraMassima), massimo);
    return static_cast<int>(formati::interoComeNumero(decimi));
}

ui::Row SezioneSintesiAnno::riga(int index) const {
    ui::Row row;
    row.kind = "SintesiAnnoCell";
    row.height = altezzaRiga(index);
    row.stacked = true;
    if (index != 0) return row;
    Decimal massimo;
    for (const Anno& anno : anni_) massimo = std::max(massimo, anno.fatturato);
    for (size_t i = 0; i < anni_.size(); ++i) {
        ui::Label label;
        label.text = campo(0, static_cast<int>(2 * i)) + "   " + campo(0, static_cast<int>(2 * i + 1));
        row.items.emplace_back(std::move(label));
        ui::Image barra;
        barra.path = Bundle::resourcePath(kBarre[i % 2]);
        barra.width = larghezzaBarra(anni_[i].fatturato, massimo);
        barra.height = 16;
        row.items.emplace_back(std::move(barra));
    }
    return row;
}

int SezioneSintesiAnno::altezzaPredefinita(int index) const {
    (void)index;
    return 120;
}

}  // namespace torvane
