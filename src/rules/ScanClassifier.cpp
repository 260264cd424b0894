#include "rules/ScanClassifier.h"

#include "rules/BarcodeLengths.h"
#include "rules/ScanTarget.h"
#include "rules/ScanText.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"

namespace torvane {

namespace {
constexpr const char* kNoListino = "Non hai impostato il Listino !!!";
constexpr const char* kSerieNonTrovata = "Serie/Disegno non trovato !!!";

bool enabled(std::string_view key) { return Preferences::standard().boolForKey(key); }
}  // namespace

ScanClassifier::ScanClassifier(ScanTarget& screen) : screen_(screen) {}

void ScanClassifier::classify(const std::string& code) {
    Log::f("Letto Barcode: %@", code);
    const BarcodeLengths lengths = BarcodeLengths::fromPreferences();
    Log::f("Barcode LEN Lis:%d Art:%d Col:%d Cli:%d", lengths.listino, lengths.articolo, lengths.colore,
           lengths.cliente);
    std::shared_ptr<Database> database = screen_.store();
    const auto n = static_cast<long long>(ScanText::length(code));
    if (!database) {
        // Nothing can be looked up without a store: a scan is refused as unknown.
        screen_.boopa();
        return;
    }
    const bool articoloPresente = screen_.scelta().articoloCorrente.has_value();
    if (n == 12 && code == "CANCARTICOLO") {
        screen_.impostaArticolo(std::nullopt);
        screen_.impostaColoreByBarcode(std::nullopt);
        screen_.aggiorna();
    } else if (isSeriesCode(code)) {
        series(*database, code);
    } else if (n == lengths.listino) {
        listino(*database, code);
    } else if ((n == lengths.articolo && !(articoloPresente && lengths.articolo == lengths.colore)) ||
               n == lengths.articoloSerie) {
        articolo(*database, code, lengths);
    } else if (n == 9) {
        articoloColore(*database, code);
    } else if (n == lengths.colore) {
        colore(*database, code);
    } else {
        Log::f("Barcode di lunghezza %d non riconosciuto: %@", n, code);
        screen_.boopa();
    }
}

bool ScanClassifier::isSeriesCode(const std::string& code) const {
    if (!enabled(keys::pref_BARCODE80000ENABLED) || ScanText::length(code) != 6) return false;
    const long long value = ScanText::leadingInteger(code);
    return value >= 800001 && value <= 899999;
}

std::optional<std::string> ScanClassifier::serieOf(Database& database, const std::string& code) {
    if (!enabled(keys::pref_SERIEALFANUMERICHEENABLED)) return ScanText::suffix(code, 1);
    Log::f("Barcode SerieAlfanumerica: %@", code);
    std::optional<SerieAlfanumerica> serie = database.fetchSerieAlfanumericaByBarCode(code);
    if (!serie) {
        screen_.avvisa("Attenzione", kSerieNonTrovata);
        screen_.boopa();
        return std::nullopt;
    }
    return serie->serie().value_or("");
}

void ScanClassifier::series(Database& database, const std::string& code) {
    const std::optional<std::string> serie = serieOf(database, code);
    if (!serie) return;
    Log::f("Serie: %@", *serie);
    screen_.impostaSerie(*serie);
}

void ScanClassifier::listino(Database& database, const std::string& code) {
    if (!database.fetchListinoByBarCode(code)) {
        screen_.boopa();
        return;
    }
    screen_.impostaListino(code);
    screen_.impostaArticolo(std::nullopt);
    screen_.impostaColoreByBarcode(std::nullopt);
    screen_.aggiorna();
}

void ScanClassifier::articoloColore(Database& database, const std::string& code) {
    if (!screen_.scelta().listinoCorrente) {
        screen_.avvisa("Attenzione", kNoListino);
        screen_.boopa();
        return;
    }
    std::optional<Colore> colore = database.fetchColoreByBarCode(code);
    std::optional<Articolo> articolo = colore ? colore->articolo() : std::nullopt;
    if (!articolo) {
        screen_.avvisa("Attenzione", "ArticoloColore non trovato !!!");
        screen_.boopa();
        return;
    }
    Log::f("Articvolo (babbo) = %@", articolo->codice());
    screen_.impostaArticolo(articolo->barCode());
    screen_.impostaColoreByBarcode(code);
    screen_.aggiorna();
}

void ScanClassifier::articolo(Database& database, const std::string& code, const BarcodeLengths& lengths) {
    const std::optional<Listino> listino = screen_.scelta().listinoCorrente;
    if (!listino) {
        screen_.avvisa("Attenzione", kNoListino);
        return;
    }
    const auto lunghezza = static_cast<std::size_t>(lengths.articolo < 0 ? 0 : lengths.articolo);
    const std::string codice = ScanText::prefix(code, lunghezza);
    Log::f("Articolo: %@", codice);
    std::optional<Articolo> articolo = database.fetchArticoloByBarCode(codice);
    if (!articolo) {
        if (!enabled(keys::pref_ARTICOLINONESISTENTIENABLED)) {
            screen_.boopa();
            screen_.avvisa("Attenzione !!!", "Articolo non trovato");
            return;
        }
        Log::f("Creo Articolo con Barcode %@", codice);
        articolo = database.createArticoloWithBarCode(codice, {{"flagCreatoDaMe", 1LL},
                                                               {"codice", format("[%@]", codice)},
                                                               {"descrizione1", format("Barcode Articolo %@", codice)}});
        if (!articolo) {
            screen_.avvisa("Attenzione !!!", "Barcode Articolo non usabile");
            return;
        }
    }
    if (!database.fetchArticoloListinoByArticolo(articolo->codice().value_or(""), *listino)) {
        // The test is on presence: an article marked either way is known not to be listed.
        if (!articolo->flagFuoriListino() && !articolo->flagCreatoDaMe()) {
            screen_.avvisa("Attenzione !!!",
                           format("Articolo presente in altri Listini (ma non in %@)", listino->descrizione()));
        }
        Log::f("Articolo %@ NON IN questo Listino !!!", articolo->codice());
    }
    screen_.impostaArticolo(codice);
    screen_.impostaColoreByBarcode(std::nullopt);
    const std::string resto = ScanText::suffix(code, lunghezza);
    if (!resto.empty() && resto.front() == '8') {
        const std::optional<std::string> serie = serieOf(database, resto);
        if (!serie) return;
        Log::f("Serie: %@", *serie);
        screen_.impostaSerie(*serie);
    }
    if (screen_.scelta().autoTccSwitch) {
        screen_.impostaColoreByBarcode(std::string("T+CC"));
        screen_.impostaQuantita(std::string("1.0"));
        screen_.confirmTapped();
    }
    screen_.aggiorna();
}

std::optional<std::string> ScanClassifier::numberedColour(const std::string& code) {
    if (ScanText::length(code) != 6 || code.front() != '9') return std::nullopt;
    return format("%d", ScanText::leadingInteger(ScanText::suffix(code, 1)));
}

void ScanClassifier::colore(Database& database, const std::string& code) {
    const SceltaCorrente& scelta = screen_.scelta();
    if (!scelta.listinoCorrente || !scelta.articoloCorrente) {
        screen_.avvisa("Attenzione", scelta.listinoCorrente ? "Non hai impostato Articolo !!!" : kNoListino);
        screen_.boopa();
        return;
    }
    if (!enabled(keys::pref_COLORIALFANUMERICIENABLED)) {
        if (database.fetchColoreByBarCode(code)) {
            screen_.impostaColoreByBarcode(code);
        } else {
            screen_.impostaColoreByBarcode(numberedColour(code).value_or(code));
        }
        return;
    }
    Log::f("Cerco Colore Alfanumerico collegato al barCode :%@: ...", code);
    if (std::optional<ColoreAlfanumerico> alfanumerico = database.fetchColoreAlfanumericoByBarCode(code)) {
        Log::f("       Trovato Colore : %@ ...", alfanumerico->colore());
        screen_.impostaColoreByBarcode(alfanumerico->colore());
        return;
    }
    Log::line("       NON Trovato !!!");
    if (std::optional<std::string> numerato = numberedColour(code)) {
        screen_.impostaColoreByBarcode(*numerato);
        return;
    }
    screen_.avvisa("Attenzione", "Colore alfanum. non codificato !!!");
    screen_.boopa();
}

}  // namespace torvane
