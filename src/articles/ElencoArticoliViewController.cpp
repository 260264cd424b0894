#include "articles/ElencoArticoliViewController.h"


#include "articles/ArticoloImageViewController.h"
#include "articles/DettaglioArticoloViewController.h"
#include "photos/FotoCache.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "platform/ui/LabelBuilder.h"
#include "session/CompanySession.h"
#include "store/Database.h"

namespace torvane {

namespace {

constexpr ui::Color kGrigio{128, 128, 128};

// "Gr.%@  Oz.%@", one of the two, or nothing; the same for heights.
std::string coppia(const char* primo, const std::optional<std::string>& a, const char* secondo,
                   const std::optional<std::string>& b) {
    const bool haA = a && !a->empty(), haB = b && !b->empty();
    if (haA && haB) return format("%@%@  %@%@", primo, *a, secondo, *b);
    if (haA) return format("%@%@", primo, *a);
    if (haB) return format("%@%@", secondo, *b);
    return {};
}

}  // namespace

ElencoArticoliViewController::ElencoArticoliViewController(ui::Ui& ui, Listino listino, Selection onSelect,
                                                           std::shared_ptr<CompanySession> session, LotSelection onLot)
    : Screen(ui),
      session_(std::move(session)),
      listino_(std::move(listino)),
      onSelect_(std::move(onSelect)),
      onLot_(std::move(onLot)) {
    std::string title;
    for (const auto& part : {listino_.businessUnit(), listino_.collezione(), listino_.area(), listino_.divisa(),
                             listino_.um(), listino_.descrizione()})
        if (part) title += format("%@ ", *part);
    setTitle(title);
    Log::f("Listino esistente: %@   Listino passato: %@", std::optional<std::string>(), listino_.barCode());
}

ElencoArticoliViewController::~ElencoArticoliViewController() {
    if (foto_) {
        foto_->chiudi();
        session_->photos().annulla(foto_.get());
    }
}

std::shared_ptr<Database> ElencoArticoliViewController::store() const { return session_ ? session_->store() : nullptr; }

void ElencoArticoliViewController::carica(const std::string& testo) {
    auto database = store();
    // New rows: the renderer tells which are on screen once it has drawn them.
    dimenticaRigheMostrate();
    if (!database) {
        articoli_.clear();
    } else if (testo.empty()) {
        articoli_ = database->fetchAllArticoloListinobyListino(listino_).value_or(std::vector<ArticoloListino>{});
    } else {
        articoli_ = database->fetchAllMatchesArticoloListino(listino_, testo).value_or(std::vector<ArticoloListino>{});
        Log::f("Trovati N.%d Articoli", static_cast<long long>(articoli_.size()));
    }
    redraw();
}

void ElencoArticoliViewController::viewWillAppear() {
    if (chiudi_) {
        std::weak_ptr<Screen> alive = weak_from_this();
        ui().postToMain([alive] {
            if (auto self = alive.lock()) self->ui().pop(*self);
        });
        return;
    }
    searchText_.clear();
    carica({});
    if (articoli_.empty()) ui().showAlert(ui::Alert::simple("Attenzione", "Non ho Articoli !!!", "Continua"));
}

ui::Keyboard ElencoArticoliViewController::searchKeyboard() const {
    return Preferences::standard().boolForKey(keys::pref_RICERCAARTICOLONUMERICAENABLED) ? ui::Keyboard::Number
                                                                                         : ui::Keyboard::Default;
}

int ElencoArticoliViewController::numberOfRows(int section) const {
    return section == 0 ? static_cast<int>(articoli_.size()) : 0;
}

std::optional<Articolo> ElencoArticoliViewController::articoloAt(int row) const {
    if (row < 0 || row >= static_cast<int>(articoli_.size())) return std::nullopt;
    auto database = store();
    const std::string codice = articoli_[static_cast<std::size_t>(row)].articolo().value_or("");
    return database ? database->fetchArticoloByCodice(codice) : std::nullopt;
}

ui::Row ElencoArticoliViewController::rowAt(int section, int row) const {
    if (section != 0 || row < 0 || row >= static_cast<int>(articoli_.size())) return {};
    auto articolo = articoloAt(row);
    if (!articolo) return ui::Row::labels({articoli_[static_cast<std::size_t>(row)].articolo().value_or("")});
    return rigaArticolo(*articolo);
}

bool ElencoArticoliViewController::haGiacenze(const Articolo& articolo, bool log) const {
    const auto colori = articolo.colori();
    if (log) Log::f("Colori presenti x Articolo %@ N. %d", articolo.codice(), static_cast<long long>(colori.size()));
    for (const Colore& colore : colori) {
        const auto giacenze = colore.giacenze();
        if (log) Log::f("    Giacenze presenti x Colore %@ N. %d", colore.codice(), static_cast<long long>(giacenze.size()));
        for (const Giacenza& giacenza : giacenze)
            if (auto quantita = giacenza.quantita(); quantita && !quantita->isZero()) return true;
    }
    return false;
}

bool ElencoArticoliViewController::conFoto(const Articolo& a) {
    return (a.fotoUrl() && !a.fotoUrl()->empty()) || FotoCache::forzato();
}

void ElencoArticoliViewController::rowsShown(const std::vector<ui::IndexPath>& rows) {
    if (!session_) return;  // no company, no photos
    std::map<int, std::string> shown;
    std::vector<Articolo> nuove;
    for (const ui::IndexPath& where : rows) {
        if (where.section != 0) continue;
        auto articolo = articoloAt(where.row);
        if (!articolo || !conFoto(*articolo)) continue;
        shown[where.row] = FotoCache::fileMiniatura(session_->code(), *articolo);
        // A row that stays on screen is not shown again: a forced download runs once per showing.
        if (!mostrate_.count(where.row)) nuove.push_back(*articolo);
    }
    mostrate_ = std::move(shown);
    if (!foto_) {
        std::weak_ptr<Screen> alive = weak_from_this();
        foto_ = std::make_shared<FotoDestinatario>(ui(), [alive](const std::string& file) {
            if (auto self = std::static_pointer_cast<ElencoArticoliViewController>(alive.lock())) self->fotoArrivata(file);
        });
    }
    std::set<std::string> keep;
    for (const auto& [row, file] : mostrate_) keep.insert(file);
    session_->photos().annulla(foto_.get(), keep);
    for (const Articolo& articolo : nuove) session_->photos().chiediMiniatura(session_->code(), articolo, foto_);
}

void ElencoArticoliViewController::fotoArrivata(const std::string& file) {
    std::vector<ui::IndexPath> rows;
    for (const auto& [row, shown] : mostrate_)
        if (shown == file) rows.push_back({0, row});
    if (!rows.empty()) redrawRows(rows);
}

void ElencoArticoliViewController::dimenticaRigheMostrate() {
    mostrate_.clear();
    if (foto_) session_->photos().annulla(foto_.get());
}

void ElencoArticoliViewController::viewWillDisappear() { dimenticaRigheMostrate(); }

ui::Row ElencoArticoliViewController::rigaArticolo(const Articolo& a) const {
    ui::Row row;
    const std::string codice = a.codice().value_or("");
    const bool foto = conFoto(a);
    if (foto) {
        row.items = {ui::label(format("[%@]", a.barCode()), kGrigio), ui::label(codice), ui::label(a.descrizione1().value_or(""))};
        // The thumbnail from the photo folder; the substitute until it arrives.
        ui::Image miniatura;
        const auto file = session_ ? FotoCache::suDisco(FotoCache::fileMiniatura(session_->code(), a)) : std::nullopt;
        miniatura.path = file.value_or(FotoCache::sostituto());
        miniatura.width = miniatura.height = 64;
        ui::Button foto;
        foto.action = "foto";
        foto.title = "Foto";
        row.items.push_back(foto);
        row.items.push_back(miniatura);
    } else {
        const std::string descrizione2 = a.descrizione2().value_or("");
        const std::string descrizione = descrizione2.empty() ? a.descrizione1().value_or("")
                                                             : format("%@ %@", a.descrizione1(), descrizione2);
        const bool filato = a.categoriaMerceologica() == std::optional<std::string>("2");
        row.items = {ui::label(codice), ui::label(format("[%@]", a.barCode()), kGrigio), ui::label(descrizione),
                     ui::label((filato ? a.titolo() : a.minProd()).value_or("")), ui::label(a.composizione().value_or("")),
                     ui::label(coppia("Gr.", a.pesoGr(), "Oz.", a.pesoOz())),
                     ui::label(coppia("Cm.", a.altezzaCm(), "In.", a.altezzaIn()))};
    }
    const bool ordineStock = Preferences::standard().stringForKey(keys::pref_TIPOORDINE) == std::optional<std::string>("S");
    const bool giacenze = (!ordineStock || foto) && haGiacenze(a, foto);
    if (!ordineStock && giacenze)
        row.accessory = ui::Accessory::DetailButton;
    row.height = a.categoriaMerceologica() == std::optional<std::string>("2") ? 40 : 80;
    return row;
}

void ElencoArticoliViewController::didSelectRow(int section, int row) {
    if (section != 0 || row < 0 || row >= static_cast<int>(articoli_.size())) return;
    auto database = store();
    const std::string codice = articoli_[static_cast<std::size_t>(row)].articolo().value_or("");
    auto articolo = database ? database->fetchArticoloByCodice(codice) : std::nullopt;
    if (!articolo) return;
    Log::f("Articolo selezionato: %@", articolo->codice());
    if (onSelect_) onSelect_(*articolo);
    ui().pop(*this);
}

void ElencoArticoliViewController::buttonTapped(const std::string& action, ui::IndexPath where) {
    if (action != "foto" || where.section != 0 || where.row < 0 || where.row >= static_cast<int>(articoli_.size())) return;
    auto database = store();
    auto articolo = database ? database->fetchArticoloByCodice(articoli_[static_cast<std::size_t>(where.row)].articolo().value_or(""))
                             : std::nullopt;
    if (articolo) ui().push(*this, std::make_shared<ArticoloImageViewController>(ui(), *articolo, session_));
}

void ElencoArticoliViewController::accessoryTapped(int section, int row) {
    if (section != 0 || row < 0 || row >= static_cast<int>(articoli_.size())) return;
    auto database = store();
    const std::string codice = articoli_[static_cast<std::size_t>(row)].articolo().value_or("");
    auto articolo = database ? database->fetchArticoloByCodice(codice) : std::nullopt;
    if (!articolo) return;
    Log::f("Articolo current x Giacenze: %@", codice);
    std::weak_ptr<Screen> alive = weak_from_this();
    ui().push(*this, std::make_shared<DettaglioArticoloViewController>(
                         ui(), *articolo, std::nullopt,
                         [this, alive, articolo = *articolo](const Giacenza& giacenza) {
                             if (!alive.lock()) return;
                             if (onLot_) onLot_(articolo, giacenza);
                             chiudi_ = true;
                         },
                         session_));
}

void ElencoArticoliViewController::searchTextChanged(const std::string& text) {
    searchText_ = text;
    carica(text);
}

void ElencoArticoliViewController::searchButtonClicked(const std::string& text) {
    searchTextChanged(text);
    ui().endEditing(*this);
}

void ElencoArticoliViewController::searchCancelled() {
    searchText_.clear();
    ui().endEditing(*this);
    carica({});
}

}  // namespace torvane
