#include "order/TaglieCell.h"

#include <algorithm>

#include "platform/Format.h"
#include "platform/ui/LabelBuilder.h"
#include "store/Database.h"

namespace torvane {

namespace {

const ui::Color kNero{0, 0, 0};
const ui::Color kGrigio{128, 128, 128};

// Quantities are shown only from 1 up; an empty column reads better than a column of zeros.
std::string quantitaMostrata(long long quantita) { return quantita >= 1 ? format("%d", quantita) : std::string(); }

ui::Row cella(ui::Label titolo, std::vector<ui::Label> colonne) {
    ui::Row row;
    row.kind = TaglieCell::kind;
    row.items.emplace_back(std::move(titolo));
    for (ui::Label& colonna : colonne) row.items.emplace_back(std::move(colonna));
    return row;
}

}  // namespace

std::vector<TagliaDettaglio> TaglieCell::taglieArticolo(Database& database, const Articolo& articolo) {
    std::optional<TagliaGruppo> gruppo;
    if (auto codice = articolo.tagliaGruppo(); codice && !codice->empty())
        gruppo = database.fetchTagliaGruppoByCodice(*codice);
    if (!gruppo) gruppo = articolo.taglieCollegate();
    return gruppo ? gruppo->taglieDettaglio() : std::vector<TagliaDettaglio>{};
}

ui::Row TaglieCell::rigaIntestazione(const std::vector<std::string>& codiciTaglie) {
    ui::Label titolo;
    titolo.text = "Taglie";
    titolo.style = ui::TextStyle::Bold;
    titolo.pointSize = 15;
    titolo.color = kNero;
    std::vector<ui::Label> colonneTaglie;
    for (std::size_t i = 0; i < colonne; ++i)
        colonneTaglie.push_back(ui::label(i < codiciTaglie.size() ? codiciTaglie[i] : std::string(), ui::Alignment::Center));
    if (codiciTaglie.size() < colonne) {
        colonneTaglie.back().text = "Tot.";
        colonneTaglie.back().color = kNero;
    }
    return cella(std::move(titolo), std::move(colonneTaglie));
}

ui::Row TaglieCell::rigaIntestazione(const std::vector<TagliaDettaglio>& taglie) {
    std::vector<std::string> codici;
    codici.reserve(std::min(taglie.size(), colonne));
    for (std::size_t i = 0; i < taglie.size() && i < colonne; ++i) codici.push_back(taglie[i].codice().value_or(""));
    // Beyond the eighth size only the count matters (it rules out "Tot."): one blank stands for them.
    codici.resize(std::min(taglie.size(), colonne + 1));
    return rigaIntestazione(codici);
}

ui::Row TaglieCell::rigaRadice(const std::string& codiceRadice, const std::vector<long long>& quantita,
                               std::size_t numeroTaglie) {
    ui::Label titolo;
    titolo.text = codiceRadice;
    titolo.pointSize = 12;
    titolo.color = kGrigio;
    std::vector<ui::Label> colonneQuantita;
    long long totale = 0;
    for (std::size_t i = 0; i < quantita.size(); ++i) {
        totale += quantita[i];
        if (i < colonne) colonneQuantita.push_back(ui::label(quantitaMostrata(quantita[i]), ui::Alignment::Center));
    }
    colonneQuantita.resize(colonne, ui::label(std::string(), ui::Alignment::Center));
    // With eight sizes or more the last column belongs to the eighth size: a total there
    // would read as that size's quantity, so the total is shown only when a column is free.
    if (numeroTaglie < colonne) colonneQuantita.back().text = quantitaMostrata(totale);
    colonneQuantita.back().color = kNero;
    return cella(std::move(titolo), std::move(colonneQuantita));
}

ui::Row TaglieCell::rigaRadice(const ColoreSxBarra& radice, std::size_t numeroTaglie) {
    return rigaRadice(radice.codice().value_or(""), quantitaRadice(radice), numeroTaglie);
}

std::vector<ui::Row> TaglieCell::righe(Database& database, const Articolo& articolo) {
    const std::vector<TagliaDettaglio> taglie = taglieArticolo(database, articolo);
    std::vector<ui::Row> rows{rigaIntestazione(taglie)};
    for (const ColoreSxBarra& radice : articolo.coloriSxbarra()) rows.push_back(rigaRadice(radice, taglie.size()));
    return rows;
}

std::vector<long long> TaglieCell::quantitaRadice(const ColoreSxBarra& radice) {
    std::vector<long long> quantita;
    for (const TempSceltaTaglia& riga : radice.tempSceltaTaglie()) quantita.push_back(riga.quantita().value_or(0));
    return quantita;
}

long long TaglieCell::sommaQuantita(const std::vector<ColoreSxBarra>& radici) {
    long long somma = 0;
    for (const ColoreSxBarra& radice : radici)
        for (const TempSceltaTaglia& riga : radice.tempSceltaTaglie()) somma += riga.quantita().value_or(0);
    return somma;
}

std::string TaglieCell::totaleTaglie(const std::vector<ColoreSxBarra>& radici) {
    const long long somma = sommaQuantita(radici);
    return somma != 0 ? format("%d", somma) : std::string();
}

}  // namespace torvane
