#include "clients/SezioneDettaglioCollezione.h"
#include "platform/ui/LabelBuilder.h"

namespace torvane {

std::string SezioneDettaglioCollezione::campoOSegnale(int index, int field) const {
    if (index < 0 || index >= numeroRighe()) return "?!?";
    const auto& fields = rigaObject[static_cast<size_t>(index)];
    return field < static_cast<int>(fields.size()) ? fields[static_cast<size_t>(field)] : std::string("?!?");
}

ui::Row SezioneDettaglioCollezione::riga(int index) const { return index == 0 ? testata() : articolo(index); }

int SezioneDettaglioCollezione::altezzaPredefinita(int index) const {
    (void)index;
    return 50;
}

// The header: the fixed headings, then the unit and currency columns of this table.
ui::Row SezioneDettaglioCollezione::testata() const {
    std::string prodzione = "Produzione";
    std::vector<std::string> valori(6);  // CampQta, CampPz, CampVal, ProdPz, ProdQta, ProdVal
    if (tipo == Produzione) {
        for (int i = 0; i < 6; ++i) valori[static_cast<size_t>(i)] = campoOSegnale(0, 3 + i);
    } else if (tipo == Campionature) {
        prodzione.clear();
        for (int i = 0; i < 3; ++i) valori[static_cast<size_t>(i)] = campoOSegnale(0, 3 + i);
    } else {
        prodzione.clear();
        valori[0] = "T+CC";
    }
    ui::Row row;
    row.kind = "TestataTable10LabelCell";
    row.height = altezzaRiga(0);
    row.items.emplace_back(ui::label("Articolo", ui::Alignment::Left, ui::TextStyle::Bold));
    row.items.emplace_back(ui::label("Campionario", ui::Alignment::Center, ui::TextStyle::Bold));
    row.items.emplace_back(ui::label(prodzione, ui::Alignment::Center, ui::TextStyle::Bold));
    for (auto& text : valori) row.items.emplace_back(ui::label(std::move(text), ui::Alignment::Right, ui::TextStyle::Bold));
    return row;
}

// label1 to label12 of an article row.
ui::Row SezioneDettaglioCollezione::articolo(int index) const {
    std::vector<std::string> labels(12);
    if (tipo == Produzione) {
        for (int i = 0; i < 9; ++i) labels[static_cast<size_t>(i)] = campoOSegnale(index, i);
    } else if (tipo == Campionature) {
        for (int i = 0; i < 5; ++i) labels[static_cast<size_t>(i)] = campoOSegnale(index, i);
        labels[8] = campoOSegnale(index, 8);
    } else {
        labels[0] = campoOSegnale(index, 0);
        labels[1] = campoOSegnale(index, 10);
        labels[8] = campoOSegnale(index, 8);
    }
    ui::Row row;
    row.kind = "DettaglioTable10LabelCell";
    row.height = altezzaRiga(index);
    for (size_t i = 0; i < labels.size(); ++i)
        row.items.emplace_back(ui::label(std::move(labels[i]), i == 0 ? ui::Alignment::Left : ui::Alignment::Right));
    return row;
}

}  // namespace torvane
