#include "articles/DettaglioArticoloViewController.h"

#include <algorithm>

#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"

namespace torvane {

DettaglioArticoloViewController::DettaglioArticoloViewController(ui::Ui& ui, const Articolo& articolo,
                                                                 std::optional<Colore> colore, Selection onSelect,
                                                                 std::shared_ptr<CompanySession> session)
    : Screen(ui), session_(std::move(session)), colore_(std::move(colore)), onSelect_(std::move(onSelect)) {
    setTitle(articolo.codice().value_or(""));
    auto database = session_ ? session_->store() : nullptr;
    if (!database) return;
    // Looked up again by its barcode: the record given may belong to a list read earlier.
    if (auto barCode = articolo.barCode()) articolo_ = database->fetchArticoloByBarCode(*barCode);
    if (!articolo_) return;
    const std::string codice = articolo_->codice().value_or("");
    arrGiacenze_ = database->fetchGiacenzaByArticolo(codice).value_or(std::vector<Giacenza>{});
    Log::f("Giacenze Articolo %@ : Trovate N. %d ", codice, static_cast<long long>(arrGiacenze_.size()));
    for (const Giacenza& giacenza : arrGiacenze_) {
        const auto colour = giacenza.colore();
        if (!colour) continue;
        Log::f("Giacenza %@ ColoreCodice=%@", giacenza.descrizione(), colour->codice());
        const bool known = std::any_of(arrColori_.begin(), arrColori_.end(),
                                       [&](const Colore& c) { return c.codice() == colour->codice(); });
        if (known) continue;
        if (colore_ && *colore_ == *colour) numSezColoreCorrente_ = static_cast<int>(arrColori_.size());
        arrColori_.push_back(*colour);
    }
}

std::vector<ui::Section> DettaglioArticoloViewController::sections() const {
    std::vector<ui::Section> sections;
    for (const Colore& colore : arrColori_) {
        const auto giacenze = colore.exists() ? colore.giacenze() : std::vector<Giacenza>{};
        ui::Section section;
        const std::string codice = colore.codice().value_or("");
        const std::string descrizione = colore.descrizione().value_or("");
        if (giacenze.empty()) section.title = "Colore inesistente";
        else if (colore.flagCreatoDaMe().has_value()) section.title = codice;
        else if (descrizione.empty() || descrizione == codice)
            section.title = format("%@ %@", codice, colore.varianteCommerciale());
        else section.title = format("%@ %@ %@", codice, descrizione, colore.varianteCommerciale());
        for (const Giacenza& giacenza : giacenze) {
            ui::Row row = ui::Row::labels({giacenza.descrizione().value_or(""), giacenza.um().value_or(""),
                                           format("%8.2f", giacenza.quantita().value_or(Decimal()).rounded(2).toDouble())});
            row.editMenu = {kVoceMenu};
            section.rows.push_back(std::move(row));
        }
        sections.push_back(std::move(section));
    }
    return sections;
}

void DettaglioArticoloViewController::viewWillAppear() {
    if (!colore_) return;
    const int section = numSezColoreCorrente_;
    afterDelay(std::chrono::milliseconds(300),
               [this, section] { ui().scrollTo(*this, {section, 0}, ui::ScrollPosition::Top); });
}

void DettaglioArticoloViewController::didSelectRow(int section, int row) {
    if (section < 0 || section >= static_cast<int>(arrColori_.size())) return;
    const Colore& colore = arrColori_[static_cast<std::size_t>(section)];
    const auto giacenze = colore.giacenze();
    if (row < 0 || row >= static_cast<int>(giacenze.size())) return;
    const Giacenza& giacenza = giacenze[static_cast<std::size_t>(row)];
    Log::f("DettaglioArticolo SelectRowAtIndexPath selected %d %d", static_cast<long long>(section), static_cast<long long>(row));
    Log::f("    Colore %@ Giacenza %@", colore.codice(), giacenza.descrizione());
    if (onSelect_) onSelect_(giacenza);
    ui().pop(*this);
}

}  // namespace torvane
