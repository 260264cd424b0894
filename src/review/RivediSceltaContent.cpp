#include "review/RivediSceltaContent.h"

#include <charconv>

#include "platform/Format.h"
#include "platform/NumberFormat.h"
#include "rules/LineAmount.h"
#include "store/Database.h"

namespace torvane {

namespace {

bool pieno(const std::optional<std::string>& text) { return text && !text->empty(); }

}  // namespace

Decimal RivediSceltaContent::totale(const std::vector<SceltaRiga>& righe) {
    Decimal somma;
    for (const SceltaRiga& riga : righe)
        if (auto parte = LineAmount::ofLine(riga)) somma += *parte;
    return somma;
}

RivediSceltaContent::Riepilogo RivediSceltaContent::riepilogo(Database& db, const std::vector<SceltaRiga>& righe,
                                                              const std::optional<Cliente>& cliente,
                                                              const std::optional<Listino>& listino) {
    Riepilogo fatto;
    auto aggiungi = [&](std::string descrizione, std::string valore) {
        fatto.descrizioni.push_back(std::move(descrizione));
        fatto.valori.push_back(std::move(valore));
    };
    if (!righe.empty()) {
        static const NumberFormat formatoTotale("####,##0.00");
        const std::string divisa = listino ? listino->divisa().value_or("") : std::string();
        aggiungi("Totale IVA escl.", format("%@ %@", divisa, formatoTotale.format(totale(righe))));
    }
    if (!cliente) return fatto;
    if (auto codice = cliente->pagamento(); pieno(codice)) {
        auto pagamento = db.fetchPagamentoByCodice(*codice);
        auto descrizione = pagamento ? pagamento->descrizione() : std::nullopt;
        aggiungi("Pagamento", pieno(descrizione) ? *descrizione : *codice);
    }
    if (auto codice = cliente->spedizioniere(); pieno(codice)) {
        auto spedizioniere = db.fetchSpedizioniereByCodice(*codice);
        auto nome = spedizioniere ? spedizioniere->ragioneSociale() : std::nullopt;
        aggiungi("Spedizioniere", pieno(nome) ? *nome : *codice);
    }
    if (auto abbonamento = cliente->abbonamento(); pieno(abbonamento)) aggiungi("Abbonamento", *abbonamento);
    if (auto codice = cliente->importanza(); pieno(codice)) {
        if (auto importanza = db.fetchImportanzaByCodice(*codice))
            aggiungi("Classe", format("[%@] %@", *codice, importanza->descrizione().value_or("")));
    }
    return fatto;
}

std::string RivediSceltaContent::articoloRiga(const SceltaRiga& riga) {
    const std::string articolo = riga.articolo().value_or("");
    if (auto serie = riga.serie(); pieno(serie)) return format("%@/%@", articolo, *serie);
    return articolo;
}

std::string RivediSceltaContent::descrizioneRiga(Database& db, const SceltaRiga& riga, bool conColore,
                                                 bool conPartita) {
    const std::string codice = riga.articolo().value_or("");
    std::string testo;
    if (auto articolo = db.fetchArticoloByCodice(codice)) {
        if (auto d1 = articolo->descrizione1(); d1 && *d1 != codice) testo = *d1;
        if (auto d2 = articolo->descrizione2(); d2 && *d2 != codice) testo += (testo.empty() ? "" : " ") + *d2;
    }
    if (conColore) {
        const std::string codiceColore = riga.colore().value_or("");
        if (auto colore = db.fetchColoreByArticolo(codice, codiceColore)) {
            auto descrizione = colore->descrizione();
            if (pieno(descrizione) && *descrizione != colore->codice().value_or("")) {
                if (!testo.empty()) testo += " ";
                testo += " " + *descrizione;
            }
        }
    }
    if (conPartita) {
        if (auto partita = riga.partita(); pieno(partita)) testo += format(" %@", *partita);
        if (auto lavorazione = riga.lavorazione(); pieno(lavorazione)) testo += format(" %@", *lavorazione);
    }
    return testo;
}

std::vector<std::string> RivediSceltaContent::righeDestinazione(const std::optional<Destinazione>& destinazione) {
    if (!destinazione) return std::vector<std::string>(7);
    std::string nome2 = destinazione->ragioneSociale2().value_or("");
    if (auto nome3 = destinazione->ragioneSociale3(); pieno(nome3)) nome2 += " " + *nome3;
    const std::string citta = destinazione->citta().value_or("");
    const std::string provincia = destinazione->provincia().value_or("");
    return {format("[%@]", destinazione->codice().value_or("")),
            destinazione->ragioneSociale1().value_or(""),
            nome2,
            destinazione->indirizzo1().value_or(""),
            destinazione->cap().value_or(""),
            provincia.empty() ? citta : format("%@ (%@)", citta, provincia),
            destinazione->nazione().value_or("")};
}

std::string RivediSceltaContent::voceDestinazione(const Destinazione& destinazione) {
    std::string voce;
    if (auto codice = destinazione.codice()) voce += format("[%@] ", *codice);
    if (auto nome1 = destinazione.ragioneSociale1(); pieno(nome1)) voce += format("%@ ", *nome1);
    if (auto nome2 = destinazione.ragioneSociale2(); pieno(nome2)) voce += *nome2;
    return voce;
}

std::string RivediSceltaContent::nomeAgente(Database& db, const std::optional<std::string>& codice) {
    std::string nome;
    if (pieno(codice)) {
        auto agente = db.fetchAgenteByCodice(*codice);
        nome = agente ? agente->ragioneSociale().value_or(*codice) : *codice;
    }
    return nome.empty() ? std::string("Agente sconosciuto") : nome;
}

std::vector<std::string> RivediSceltaContent::parti(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::optional<std::string> RivediSceltaContent::attributoNumerato(const std::string& attributo,
                                                                  const std::string& prefisso) {
    if (attributo.size() <= prefisso.size() || attributo.compare(0, prefisso.size(), prefisso) != 0)
        return std::nullopt;
    int numero = 0;
    const char* begin = attributo.data() + prefisso.size();
    const char* end = attributo.data() + attributo.size();
    auto [next, error] = std::from_chars(begin, end, numero);
    // Only attribute1…attribute30 exist; "DES-x" or "DES-99" names nothing.
    if (error != std::errc() || next != end || numero < 1 || numero > 30) return std::nullopt;
    return format("attribute%d", static_cast<long long>(numero));
}

}  // namespace torvane
