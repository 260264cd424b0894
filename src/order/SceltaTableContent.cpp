#include "order/SceltaTableContent.h"

#include <algorithm>

#include "order/TaglieCell.h"
#include "platform/Format.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/LabelBuilder.h"
#include "store/Database.h"

namespace torvane {

namespace {

constexpr ui::Color kGrigio{128, 128, 128};
constexpr ui::Color kRosso{220, 0, 0};
constexpr ui::Color kBlu{0, 0, 255};
// The confirmation button's green, which the T+CC button shares when it confirms at once.
constexpr ui::Color kVerde{76, 217, 100};

constexpr int kAltezza = 44;
constexpr int kAltezzaPrezzo = 32;
constexpr int kAltezzaRadice = 24;
constexpr int kAltezzaConferma = 60;

const std::string& orEmpty(const std::optional<std::string>& text) {
    static const std::string empty;
    return text ? *text : empty;
}

std::optional<std::string> nonEmpty(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    return text;
}

ui::TextField field(int tag, std::string text, bool enabled, ui::Keyboard keyboard = ui::Keyboard::Default) {
    ui::TextField made;
    made.tag = tag;
    made.text = std::move(text);
    made.enabled = enabled;
    made.keyboard = keyboard;
    return made;
}

// A row of a caption and a field, the shape of most rows of the screen.
ui::Row campo(const std::string& caption, ui::TextField value) {
    ui::Row row;
    row.items = {ui::label(caption), std::move(value)};
    row.height = kAltezza;
    return row;
}

// A price in plain decimal notation: 12.5, 3, 0.75.
std::string plainDecimal(const std::optional<Decimal>& value) {
    if (!value) return {};
    std::string text = value->toString();
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

double money(const std::optional<Decimal>& value) { return value ? value->rounded(2).toDouble() : 0.0; }

}  // namespace

std::vector<ui::Section> SceltaTableContent::sections(const Context& context) {
    return {sezioneCliente(context),  sezioneListino(context),  sezioneArticolo(context), sezioneColore(context),
            sezioneQuantita(context), sezioneConferma(context), sezioneNota(context)};
}

long long SceltaTableContent::righeOrdine(const Context& context) {
    const auto& testata = context.scelta.sceltaTestataCorrente;
    if (!testata || !context.database) return 0;
    auto righe = context.database->fetchAllSceltaRigaByTestata(*testata);
    return righe ? static_cast<long long>(righe->size()) : 0;
}

ui::Section SceltaTableContent::sezioneCliente(const Context& context) {
    const auto& cliente = context.scelta.clienteCorrente;
    // The client is chosen from the list, never typed: its field only shows it.
    ui::Row row = campo("Cliente", field(SezioneCliente, cliente ? orEmpty(cliente->ragioneSociale1()) : "", false));
    if (cliente && context.database && context.database->fetchStatClienteByCodice(orEmpty(cliente->codice())))
        row.accessory = ui::Accessory::DetailButton;
    return {{}, {}, {row}};
}

ui::Section SceltaTableContent::sezioneListino(const Context& context) {
    const auto& listino = context.scelta.listinoCorrente;
    return {{}, {}, {campo("Listino", field(SezioneListino, listino ? orEmpty(listino->descrizione()) : "", listino.has_value(),
                                            ui::Keyboard::NumbersAndPunctuation))}};
}

ui::Section SceltaTableContent::sezioneArticolo(const Context& context) {
    const SceltaCorrente& scelta = context.scelta;
    const auto& articolo = scelta.articoloCorrente;
    ui::Section section;
    std::string valore;
    if (articolo) {
        valore = orEmpty(articolo->codice());
        if (scelta.serieCorrente) valore = format("%@/%@", valore, *scelta.serieCorrente);
    }
    ui::Row intestazione = campo("Articolo", field(SezioneArticolo, valore, articolo.has_value()));
    if (articolo) {
        const auto colori = articolo->colori();
        if (std::any_of(colori.begin(), colori.end(), [](const Colore& c) { return !c.giacenze().empty(); }))
            intestazione.accessory = ui::Accessory::DetailButton;
    }
    section.rows.push_back(std::move(intestazione));
    if (articolo && context.preferences.boolForKey(keys::pref_DESCARTICOLOENABLED)) {
        ui::Label descrizione = ui::label(format("%@ %@", orEmpty(articolo->descrizione1()), orEmpty(articolo->descrizione2())));
        descrizione.color = kGrigio;
        ui::Row row;
        row.items = {descrizione};
        row.height = kAltezzaPrezzo;
        section.rows.push_back(std::move(row));
    }
    for (const Prezzo& prezzo : scelta.prezziArticolo) section.rows.push_back(rigaPrezzo(context, prezzo));
    return section;
}

ui::Row SceltaTableContent::rigaPrezzo(const Context& context, const Prezzo& prezzo) {
    Database* database = context.database;
    const std::string variante = orEmpty(prezzo.varianteCommerciale());
    const std::optional<std::string> maggiorazione = nonEmpty(prezzo.maggiorazione());
    ui::Label etichetta1, etichetta2, etichetta3, etichetta4;
    if (!maggiorazione) {
        etichetta1 = ui::label(variante);
        std::optional<std::string> descrizione;
        const auto& articolo = context.scelta.articoloCorrente;
        const std::optional<std::string> gruppo = articolo ? nonEmpty(articolo->gruppoCommerciale()) : std::nullopt;
        if (gruppo && database && !variante.empty()) {
            if (auto trovato = database->fetchGruppoCommercialeByCodice(*gruppo, variante.substr(1)))
                descrizione = nonEmpty(trovato->descrizione());
        }
        if (!descrizione && database) {
            if (auto trovata = database->fetchVarianteCommercialeByCodice(variante))
                descrizione = nonEmpty(trovata->descrizioneITA());
        }
        etichetta2 = ui::label(descrizione.value_or(variante), ui::TextStyle::Bold);
        const auto& listino = context.scelta.listinoCorrente;
        etichetta3 = ui::label(listino ? orEmpty(listino->divisa()) : "", ui::TextStyle::Bold);
        etichetta4 = ui::label(format("%8.2f", money(prezzo.valore())), ui::TextStyle::Bold);
    } else {
        etichetta1 = ui::label("");
        std::optional<std::string> descrizione;
        if (database) {
            if (auto trovata = database->fetchMaggiorazioneByCodice(*maggiorazione))
                descrizione = trovata->descrizioneITA();
        }
        etichetta2 = ui::label(descrizione.value_or(*maggiorazione));
        etichetta3 = ui::label(format("%+3.2f", money(prezzo.valoreMaggiorazione())));
        etichetta3.color = kRosso;
        etichetta4 = ui::label(format("%8.2f", money(prezzo.valore())));
    }
    etichetta3.alignment = ui::Alignment::Right;
    etichetta4.alignment = ui::Alignment::Right;
    ui::Row row;
    row.items = {etichetta1, etichetta2, etichetta3, etichetta4};
    row.height = kAltezzaPrezzo;
    return row;
}

ui::Section SceltaTableContent::sezioneColore(const Context& context) {
    const SceltaCorrente& scelta = context.scelta;
    ui::Section section;
    const auto& giacenza = scelta.giacenzaCorrente;
    if (giacenza) {
        const std::string descrizione = orEmpty(giacenza->descrizione());
        std::string lavorazione = orEmpty(giacenza->lavorazione());
        if (lavorazione == descrizione) lavorazione.clear();
        section.footer = format("%@ %@", descrizione, lavorazione);
    }
    const auto& articolo = scelta.articoloCorrente;
    if (articolo && hasSizeGroup(*articolo) && context.database) {
        section.rows = TaglieCell::righe(*context.database, *articolo);
        for (size_t r = 0; r < section.rows.size(); ++r) section.rows[r].height = r == 0 ? kAltezza : kAltezzaRadice;
        return section;
    }
    std::string valore;
    if (scelta.coloreTCC) valore = "T+CC";
    else if (scelta.coloreCorrente) valore = orEmpty(scelta.coloreCorrente->codice());
    else valore = orEmpty(scelta.coloreDigitato);
    ui::Row row = campo("Colore", field(SezioneColore, valore, true, ui::Keyboard::NumbersAndPunctuation));
    ui::Button prev;
    prev.action = "previousTapped";
    prev.title = scelta.articoloLast ? orEmpty(scelta.articoloLast->codice()) : "Prev.";
    prev.enabled = scelta.articoloLast.has_value();
    prev.hidden = !scelta.articoloLast;
    row.items.push_back(prev);
    section.rows.push_back(std::move(row));
    const auto& colore = scelta.coloreCorrente;
    if (colore && context.preferences.boolForKey(keys::pref_DESCCOLOREENABLED)) {
        ui::Row dettaglio;
        dettaglio.items = {ui::label(orEmpty(colore->varianteCommerciale())),
                           ui::label(orEmpty(colore->descrizione()), ui::TextStyle::Bold),
                           ui::label(format("[%@]", orEmpty(colore->barCode())))};
        dettaglio.height = kAltezzaPrezzo;
        section.rows.push_back(std::move(dettaglio));
    }
    return section;
}

ui::Section SceltaTableContent::sezioneQuantita(const Context& context) {
    const SceltaCorrente& scelta = context.scelta;
    const auto& articolo = scelta.articoloCorrente;
    std::string caption;
    ui::TextField quantita = field(SezioneQuantita, "", true, ui::Keyboard::Decimal);
    if (articolo && hasSizeGroup(*articolo)) {
        caption = "Q.tà taglie";
        quantita.text = TaglieCell::totaleTaglie(articolo->coloriSxbarra());
        quantita.enabled = false;
    } else if (scelta.coloreTCC) {
        caption = "NR";
        if (scelta.quantitaCorrente > 0) quantita.text = plainDecimal(Decimal::fromDouble(scelta.quantitaCorrente));
    } else {
        if (scelta.giacenzaCorrente) caption = orEmpty(scelta.giacenzaCorrente->um());
        else if (scelta.listinoCorrente) caption = orEmpty(scelta.listinoCorrente->um());
        if (caption.empty()) caption = "Q.tà";
        if (scelta.quantitaCorrente > 0) quantita.text = format("%0.2f", scelta.quantitaCorrente);
    }
    ui::Row row = campo(caption, std::move(quantita));
    ui::Button tcc;
    tcc.action = "tccTapped";
    tcc.title = "T+CC";
    tcc.hidden = !context.preferences.boolForKey(keys::pref_TCCENABLED);
    tcc.enabled = !tcc.hidden;
    if (context.preferences.boolForKey(keys::pref_TCCCONFERMAUNOENABLED)) {
        tcc.color = kBlu;
        tcc.background = kVerde;
    }
    row.items.push_back(tcc);
    return {{}, {}, {row}};
}

ui::Section SceltaTableContent::sezioneConferma(const Context& context) {
    ui::Section section;
    if (context.preferences.boolForKey(keys::pref_MODALITAFIERAENABLED)) section.footer = "Modalita' FIERA";
    ui::Button conferma;
    conferma.action = "confirmTapped";
    conferma.title = "Conferma";
    conferma.background = kVerde;
    ui::Switch automatico;
    automatico.action = "autoTCCSwitched";
    automatico.title = "Auto T+CC";
    automatico.on = context.scelta.autoTccSwitch;
    ui::Row row;
    row.items = {ui::label(format("R. %d", righeOrdine(context) + 1), ui::TextStyle::Bold), conferma, automatico};
    row.height = kAltezzaConferma;
    row.selectable = false;
    section.rows.push_back(std::move(row));
    return section;
}

ui::Section SceltaTableContent::sezioneNota(const Context& context) {
    ui::Section section;
    if (context.handheldConnesso) section.footer = format("BT Connesso [%s]", *context.handheldConnesso);
    if (!context.preferences.boolForKey(keys::pref_MODALITAFIERAENABLED))
        section.rows.push_back(campo("Note", field(SezioneNota, orEmpty(context.scelta.notaCorrente), true)));
    return section;
}

std::string SceltaTableContent::voceColore(const Colore& colore, const std::vector<Prezzo>& prezzi,
                                          const std::optional<std::string>& divisa) {
    const std::string variante = orEmpty(colore.varianteCommerciale());
    const auto semplice = std::find_if(prezzi.begin(), prezzi.end(), [&](const Prezzo& p) {
        return !nonEmpty(p.maggiorazione()) && orEmpty(p.varianteCommerciale()) == variante;
    });
    std::string resto;
    if (semplice == prezzi.end()) {
        resto = format(" %@      -", variante);
    } else {
        resto = format("    %@%@   %@", stringByPaddingLeft(divisa, 5), stringByPaddingLeft(plainDecimal(semplice->valore()), 6),
                       variante);
    }
    return format("%@ %@", orEmpty(colore.codice()), resto);
}

}  // namespace torvane
