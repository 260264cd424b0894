#include "clients/Sezione5Label.h"

namespace torvane {

namespace {
constexpr ui::Color kBlu{0, 0, 255};
constexpr double kPuntiEvidenza = 17;
}  // namespace

ui::Row Sezione5Label::riga(int index) const {
    ui::Row row = rigaDiEtichette(index, 5, "DettaglioTable5LabelCell");
    const bool testata = index == 0;
    const bool totali = index > 0 && index == numeroRighe() - 1;
    for (size_t i = 0; i < row.items.size(); ++i) {
        auto& label = std::get<ui::Label>(row.items[i]);
        if (i > 0) label.alignment = ui::Alignment::Right;
        if (testata || totali) {
            label.style = ui::TextStyle::Bold;
            label.pointSize = kPuntiEvidenza;
        }
        if (testata) label.color = kBlu;
    }
    return row;
}

int Sezione5Label::altezzaPredefinita(int index) const {
    (void)index;
    return 36;
}

}  // namespace torvane
