#include "order/InserimentoSceltaViewController.h"

#include <algorithm>
#include <chrono>

#include "devices/ScannerSource.h"
#include "devices/SledScanner.h"
#include "rules/OrderLineWriter.h"
#include "store/OrderStoreUnit.h"
#include "rules/ScanClassifier.h"
#include "order/SceltaTableContent.h"
#include "rules/ScanText.h"
#include "rules/SizeGridBuilder.h"
#include "platform/Format.h"
#include "platform/IsoDate.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/OrderStatus.h"

namespace torvane {

namespace {

constexpr const char* kAttenzione = "Attenzione !!";
constexpr const char* kContinuaScelta = "Continua la scelta";
constexpr const char* kTCC = "T+CC";
constexpr std::chrono::milliseconds kDelay{300};
constexpr int kSezioneQuantita = 4;

std::string describePrezzi(const std::vector<Prezzo>& prezzi) {
    std::string text = "(";
    for (const Prezzo& prezzo : prezzi) {
        if (text.size() > 1) text += ", ";
        text += format("%@ %@", prezzo.varianteCommerciale(), prezzo.valore());
        if (auto maggiorazione = prezzo.maggiorazione()) text += " " + *maggiorazione;
    }
    return text + ")";
}

std::optional<std::string> nonEmpty(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    return text;
}

// A line keeps its article's code, which need not be the article's barcode: the barcode is
// tried first, then the code.
std::optional<Articolo> articoloDellaRiga(Database& database, const SceltaRiga& riga) {
    const std::optional<std::string> articolo = riga.articolo();
    if (!articolo) return std::nullopt;
    if (auto trovato = database.fetchArticoloByBarCode(*articolo)) return trovato;
    return database.fetchArticoloByCodice(*articolo);
}

// Order entry words its coming and leaving in its own way.
ScannerClient::Options scannerOptions() {
    ScannerClient::Options options;
    options.appearLog = "Connessione allo scanner ...";
    options.disappearLog = "viewWillDisappear Disconessione dallo scanner";
    return options;
}

}  // namespace

InserimentoSceltaViewController::InserimentoSceltaViewController(ui::Ui& ui, std::shared_ptr<CompanySession> session)
    : Screen(ui), session_(std::move(session)) {
    setTitle("SCELTA");
    scanners_ = std::make_unique<ScannerClient>(ui, *this, scannerOptions());
}

InserimentoSceltaViewController::~InserimentoSceltaViewController() = default;

std::shared_ptr<Database> InserimentoSceltaViewController::store() const {
    return session_ ? session_->store() : nullptr;
}

void InserimentoSceltaViewController::useHandheldSource(std::unique_ptr<ScannerSource> source) {
    const bool attached = scanners_->attached();
    if (attached) scanners_->detach();
    scanners_.reset();
    scanners_ = std::make_unique<ScannerClient>(ui(), *this, scannerOptions(), SledScanner::sharedDevice(),
                                                std::move(source));
    if (attached) scanners_->attach();
}

void InserimentoSceltaViewController::viewWillAppear() {
    Log::line("Scelta viewWillAppear");
    dimenticaOrdineCancellato();
    if (storeCheck_) {
        // The login, then the store of the company asked for, before anything is shown; the
        // company cannot change under a client, price list, article or order in progress.
        const bool inCorso = scelta_.clienteCorrente || scelta_.listinoCorrente || scelta_.articoloCorrente ||
                             scelta_.sceltaTestataCorrente;
        if (!storeCheck_(inCorso)) return;
    }
    std::shared_ptr<Database> database = store();
    if (!database) {
        ui().showAlert(ui::Alert::simple("Non accedo al Database !!!", "Prego uscire con tasto HOME", "OK"));
        return;
    }
    ui().setBadge(kTab, std::nullopt);
    riprendiOrdine(*database);
    redraw();
    scanners_->attach();
}

void InserimentoSceltaViewController::dimenticaOrdineCancellato() {
    // A maintenance action (the orders deleted, the whole store emptied) may have removed the
    // order being taken: entry starts again from nothing rather than writing to a lost header.
    if (!scelta_.sceltaTestataCorrente || scelta_.sceltaTestataCorrente->exists()) return;
    Log::line("La SceltaTestata corrente non c'e' piu': ricomincio da capo");
    scelta_.sceltaTestataCorrente.reset();
    scelta_.clearLine();
    scelta_.clearClientAndMemory();
    ui().setBadge(kTab, std::nullopt);
}

void InserimentoSceltaViewController::riprendiOrdine(Database& database) {
    if (const std::optional<SceltaTestata> testata = scelta_.sceltaTestataCorrente) {
        Log::f("Ho una SceltaTestata corrente: %@", testata->codice());
        const std::optional<OrderStatus> status = orderStatusOf(*testata);
        if (status == OrderStatus::Suspended || status == OrderStatus::Sent) {
            if (status == OrderStatus::Suspended) Log::line("   ... ed e' sospesa !!!");
            else {
                const std::optional<Timestamp> inviata = testata->dataTrasmissione();
                Log::f("   ... ed e' spedita : %@", inviata ? std::optional<std::string>(isoDateString(*inviata)) : std::nullopt);
            }
            scelta_.sceltaTestataCorrente.reset();
            scelta_.clearClientAndMemory();
        } else {
            Log::line("   ... ed e' aperta !!!");
            showBadge(database);
        }
        return;
    }
    const std::vector<SceltaTestata> aperte =
        database.fetchAllSceltaTestataWithStatus(OrderStatus::Open).value_or(std::vector<SceltaTestata>{});
    Log::f("SceltaTestata aperte presenti %d", static_cast<long long>(aperte.size()));
    if (aperte.empty()) {
        ui().scrollTo(*this, {0, 0}, ui::ScrollPosition::Top);
        return;
    }
    scelta_.sceltaTestataCorrente = aperte.front();
    const std::vector<SceltaRiga> righe =
        database.fetchAllSceltaRigaByTestata(aperte.front()).value_or(std::vector<SceltaRiga>{});
    Log::f("SceltaRighe presenti %d", static_cast<long long>(righe.size()));
    if (!righe.empty()) {
        ui().setBadge(kTab, format("%d", static_cast<long long>(righe.size())));
        // Any line will do: every line of an open order has its client and one of its lists.
        const SceltaRiga& riga = righe.front();
        const std::optional<std::string> cliente = aperte.front().cliente();
        scelta_.clienteCorrente = cliente ? database.fetchClienteByCodice(*cliente) : std::nullopt;
        const std::optional<std::string> listino = riga.listino();
        scelta_.listinoCorrente = listino ? database.fetchListinoByBarCode(*listino) : std::nullopt;
        scelta_.articoloLast = articoloDellaRiga(database, riga);
        scelta_.serieLast = nonEmpty(riga.serie());
    }
    if (aperte.size() > 1) avvisa("Attenzione", "Ho piu' di una scelta NON terminata !!!");
}

void InserimentoSceltaViewController::viewWillDisappear() {
    scanners_->detach();
}

std::vector<ui::NavigationButton> InserimentoSceltaViewController::navigationButtons() const {
    return {{"annullaTapped", "Annulla", ui::NavigationSide::Left}, {"fineSceltaTapped", "  Fine  "}};
}

void InserimentoSceltaViewController::navigationButtonTapped(const std::string& action) {
    if (action == "annullaTapped") annullaTapped();
    if (action == "fineSceltaTapped") fineSceltaTapped();
}

void InserimentoSceltaViewController::boopa() { scanners_->boopa(); }

void InserimentoSceltaViewController::avvisa(std::optional<std::string> title, const std::string& message,
                                             const std::string& button) {
    ui().showAlert(ui::Alert::simple(std::move(title), message, button));
}

// ---- scanned input ----

void InserimentoSceltaViewController::barcodeData(const std::string& text, int type) {
    (void)type;  // codes are told apart by their length
    ScanClassifier(*this).classify(text);
}

void InserimentoSceltaViewController::magneticCardData(const std::optional<std::string>& track1,
                                                       const std::optional<std::string>& track2,
                                                       const std::optional<std::string>& track3) {
    Log::f("Carta magnetica: track1: %@", track1);
    Log::f("                 track2: %@", track2);
    Log::f("                 track3: %@", track3);
}

// ---- the values of the line ----

void InserimentoSceltaViewController::impostaCliente(const std::optional<std::string>& codice) {
    Log::f("Cliente corrente: %@", codice);
    std::shared_ptr<Database> database = store();
    scelta_.clienteCorrente = database && codice ? database->fetchClienteByCodice(*codice) : std::nullopt;
    const std::optional<SceltaTestata>& testata = scelta_.sceltaTestataCorrente;
    if (testata && testata->flagDuplicato()) {
        // A duplicated order keeps its lines and their price lists: only its client changes.
        testata->setCliente(scelta_.clienteCorrente ? scelta_.clienteCorrente->codice() : std::nullopt);
        testata->setClienteRagioneSociale(scelta_.clienteCorrente ? scelta_.clienteCorrente->ragioneSociale1()
                                                                  : std::nullopt);
        try {
            if (database) database->commit();
        } catch (const std::exception&) {
            // logged by the store; the header keeps the change pending for the next commit
        }
    } else {
        const std::optional<std::string> listino =
            scelta_.clienteCorrente ? scelta_.clienteCorrente->listino() : std::nullopt;
        scelta_.listinoCorrente = database && listino ? database->fetchListinoByBarCode(*listino) : std::nullopt;
    }
    redraw();
}

void InserimentoSceltaViewController::impostaListino(const std::string& barCode) {
    std::shared_ptr<Database> database = store();
    scelta_.listinoCorrente = database ? database->fetchListinoByBarCode(barCode) : std::nullopt;
    Log::f("Listino corrente: %@", scelta_.listinoCorrente ? scelta_.listinoCorrente->barCode() : std::nullopt);
    redraw();
}

void InserimentoSceltaViewController::impostaArticolo(const std::optional<std::string>& barCode) {
    Log::f("Imposto Articolo: %@", barCode);
    std::shared_ptr<Database> database = store();
    scelta_.articoloCorrente.reset();
    scelta_.articoloListinoCorrente.reset();
    scelta_.prezziArticolo.clear();
    if (database && barCode) scelta_.articoloCorrente = database->fetchArticoloByBarCode(*barCode);
    const std::optional<Articolo>& articolo = scelta_.articoloCorrente;
    if (database && articolo && scelta_.listinoCorrente) {
        scelta_.articoloListinoCorrente =
            database->fetchArticoloListinoByArticolo(articolo->codice().value_or(""), *scelta_.listinoCorrente);
    }
    scelta_.serieCorrente.reset();
    scelta_.giacenzaCorrente.reset();
    Log::f("Articolo corrente: %@", articolo ? articolo->codice() : std::nullopt);
    if (articolo && scelta_.listinoCorrente) {
        Log::f("Ricerca prezzi per listino: %@ e articolo: %@", scelta_.listinoCorrente->barCode(),
               articolo->codice());
        reloadPrezzi(*database);
        Log::f("Prezzi articolo corrente: %@", describePrezzi(scelta_.prezziArticolo));
    }
    if (articolo && hasSizeGroup(*articolo)) {
        scelta_.gestiscoTaglie = true;
        SizeGridBuilder::prepare(*database, *articolo, scelta_.sceltaTestataCorrente);
        scelta_.quantitaCorrente = 0;
    }
    redraw();
}

void InserimentoSceltaViewController::reloadPrezzi(Database& database) {
    scelta_.prezziArticolo.clear();
    if (!scelta_.articoloListinoCorrente) return;
    if (auto prezzi = database.fetchAllPrezziByArticoloListino(*scelta_.articoloListinoCorrente)) {
        scelta_.prezziArticolo = std::move(*prezzi);
    }
    // Every variant a price row names has its record, so the rows can describe it; one the
    // catalogue lacks is made here, with its code in brackets, rather than while drawing.
    bool creata = false;
    for (const Prezzo& prezzo : scelta_.prezziArticolo) {
        const std::string variante = prezzo.varianteCommerciale().value_or("");
        if (variante.empty() || database.fetchVarianteCommercialeByCodice(variante)) continue;
        creata = database.createVarianteCommercialeWithCodice(variante, {{"descrizioneITA", format("[%@]", variante)}})
                     .has_value() ||
                 creata;
    }
    if (creata) {
        try {
            database.commit();
        } catch (const std::exception&) {
            database.rollback();  // logged by the store; the rows then show the bare code
        }
    }
}

void InserimentoSceltaViewController::impostaSerie(const std::string& serie) {
    Log::f("Imposto Serie: %@", serie);
    scelta_.serieCorrente = ScanText::withoutLeadingZeros(serie);
    redraw();
}

void InserimentoSceltaViewController::impostaColoreByBarcode(const std::optional<std::string>& barCode) {
    Log::f("Imposto Colore Barcode=:%@:", barCode);
    const std::string codice = ScanText::trimmed(barCode.value_or(""));
    Log::f("               Barcode=:%@:", codice);
    scelta_.coloreCorrente.reset();
    if (codice.empty()) {
        // Clearing the colour clears a T+CC choice too: a new article or price list must not
        // inherit the previous article's T+CC.
        scelta_.coloreDigitato.reset();
        scelta_.coloreTCC = false;
        return;
    }
    if (codice == kTCC) {
        // A T+CC line has no single colour, so there is no variant to ask about or price.
        scelta_.coloreTCC = true;
        Log::line("Colore corrente: T+CC");
        redraw();
        quantitaProntaPerLaTastiera();
        return;
    }
    scelta_.coloreTCC = false;
    std::shared_ptr<Database> database = store();
    if (database) scelta_.coloreCorrente = database->fetchColoreByBarCode(codice);
    scelta_.coloreDigitato = scelta_.coloreCorrente ? scelta_.coloreCorrente->codice() : codice;
    Log::f("Colore corrente: %@", scelta_.coloreDigitato);
    const std::optional<std::string> variante =
        nonEmpty(scelta_.coloreCorrente ? scelta_.coloreCorrente->varianteCommerciale() : std::nullopt);
    if (!variante) {
        const bool creatoDaMe = scelta_.articoloCorrente && scelta_.articoloCorrente->flagCreatoDaMe();
        if (!creatoDaMe && !Preferences::standard().boolForKey(keys::pref_MODALITAFIERAENABLED)) {
            avvisa(kAttenzione, "Non conosco la Variante Commerciale di questo colore");
        }
        redraw();
        quantitaProntaPerLaTastiera();
        return;
    }
    const bool conPrezzo = std::any_of(scelta_.prezziArticolo.begin(), scelta_.prezziArticolo.end(),
                                       [&](const Prezzo& p) { return p.varianteCommerciale() == variante; });
    if (!conPrezzo && Preferences::standard().stringForKey(keys::pref_TIPOORDINE).value_or("") != "S") {
        if (database && !chiediPrezzo(*database, *variante)) return;
    }
    redraw();
    quantitaProntaPerLaTastiera();
}

// With the colour known the next thing typed is the quantity: its field takes the keys.
void InserimentoSceltaViewController::quantitaProntaPerLaTastiera() {
    ui().focusField(*this, SceltaTableContent::SezioneQuantita);
}

bool InserimentoSceltaViewController::chiediPrezzo(Database& database, const std::string& variante) {
    ui::Alert prompt = ui::Alert::simple(
        kAttenzione, format("Puoi dirmi il prezzo del Colore \"%@\" %@ ?", scelta_.coloreCorrente->codice(), variante),
        "Memorizza prezzo e continua");
    prompt.textFields.push_back({});
    prompt.textFields.back().keyboard = ui::Keyboard::Decimal;
    const std::optional<ui::AlertAnswer> answer = ui().runModalPrompt(prompt);
    if (!answer) return true;  // the platform cannot hold a prompt
    const std::string typed = answer->texts.empty() ? std::string() : answer->texts.front();
    Log::f("Prezzo digitato :%@", typed);
    std::string text = ScanText::trimmed(typed);
    std::replace(text.begin(), text.end(), ',', '.');
    const std::optional<Decimal> prezzo = Decimal::parse(text);
    if (!prezzo || prezzo->isNegative() || prezzo->isZero()) return true;
    if (!scelta_.articoloListinoCorrente) {
        avvisa(kAttenzione, "Non ho Articolo in Listino (?!?), per il nuovo Prezzo");
        return false;
    }
    {
        // A price that is not saved is not kept pending either, for the next line to commit.
        OrderStoreUnit unit(database, "nuovo_prezzo");
        const bool scritto = unit.isOpen() &&
                             database.createPrezzoWithVarianteCommerciale(variante, *scelta_.articoloListinoCorrente,
                                                                          {{"valore", prezzo->toString()}}) &&
                             unit.commit();
        if (!scritto) {
            avvisa(kAttenzione, "Non riesco a scrivere il nuovo Prezzo");
            return true;
        }
    }
    reloadPrezzi(database);
    Log::f("Nuovi Prezzi articolo corrente: %@", describePrezzi(scelta_.prezziArticolo));
    return true;
}

void InserimentoSceltaViewController::impostaGiacenza(const Giacenza& giacenza) {
    Log::f("Imposto Giacenza: %@", giacenza.descrizione());
    scelta_.giacenzaCorrente = giacenza;
}

void InserimentoSceltaViewController::impostaQuantita(const std::optional<std::string>& quantita) {
    if (!quantita) return;
    // The decimal keypad of an Italian device types a comma.
    std::string text = *quantita;
    std::replace(text.begin(), text.end(), ',', '.');
    scelta_.quantitaCorrente = ScanText::leadingDouble(text);
    redraw();
}

void InserimentoSceltaViewController::impostaNota(const std::string& nota) {
    scelta_.notaCorrente = nota;
    redraw();
}

void InserimentoSceltaViewController::setCliente(const Cliente& cliente) { impostaCliente(cliente.codice()); }

void InserimentoSceltaViewController::setArticolo(const Articolo& articolo) { impostaArticolo(articolo.barCode()); }

void InserimentoSceltaViewController::setGiacenza(const Giacenza& giacenza) {
    scelta_.giacenzaCorrente = giacenza;
    const std::optional<Colore> colore = giacenza.colore();
    Log::f("InserimentoScelta Colore   %@", colore ? colore->codice() : std::nullopt);
    Log::f("                  Giacenza %@", giacenza.descrizione());
    impostaColoreByBarcode(colore ? colore->barCode() : std::nullopt);
    Log::f("                 Colore corrente   : %@", scelta_.coloreDigitato);
    impostaGiacenza(giacenza);
    Log::f("                 Giacenza corrente : %@", giacenza.descrizione());
    impostaQuantita(giacenza.quantita().value_or(Decimal()).toString());
    Log::f("                 Q.ta   corrente : %0.2f", scelta_.quantitaCorrente);
}

// ---- the buttons ----

bool InserimentoSceltaViewController::checkLine() {
    const auto refuse = [this](const char* message, const char* button = kContinuaScelta) {
        avvisa(kAttenzione, message, button);
        return false;
    };
    if (Preferences::standard().stringForKey(keys::pref_TIPOORDINE).value_or("").empty()) {
        return refuse("Devi impostare Tipo Ordine (Campionario / Produzione ...)", "Vai nelle Impostazioni");
    }
    if (!scelta_.clienteCorrente) return refuse("Non hai scelto il cliente ...");
    if (!scelta_.listinoCorrente) return refuse("Scegli un Listino ...");
    if (!scelta_.articoloCorrente) return refuse("Scegli un'articolo ...");
    if (!hasSizeGroup(*scelta_.articoloCorrente)) {
        if (!scelta_.coloreCorrente && !scelta_.coloreTCC && !nonEmpty(scelta_.coloreDigitato)) {
            return refuse("Scegli un Colore o T+CC ...");
        }
        if (scelta_.quantitaCorrente == 0) {
            if (!scelta_.coloreCorrente || scelta_.coloreCorrente->codice() != kTCC) {
                return refuse("Metti una quantita' ...");
            }
            scelta_.quantitaCorrente = 1;
        }
        // A lot without a known quantity sets no limit.
        if (scelta_.giacenzaCorrente) {
            if (auto lotto = scelta_.giacenzaCorrente->quantita();
                lotto && Decimal::fromDouble(scelta_.quantitaCorrente) > *lotto) {
                return refuse("Quantita' superiore alla Giacenza");
            }
        }
    }
    if (scelta_.immissioneNotaInCorso) {
        return refuse("Prima di Confermare, devi immettere la Nota (con Invio)", "Continua immissione");
    }
    return true;
}

void InserimentoSceltaViewController::confirmTapped() {
    Log::line("Confirm tapped...");
    if (!checkLine()) return;
    std::shared_ptr<Database> database = store();
    const OrderLineWriter::Outcome outcome = database ? OrderLineWriter(*database).write(scelta_)
                                                      : OrderLineWriter::Outcome{};
    if (!outcome.written) {
        // Nothing of the line was kept; it stays on screen to be confirmed again.
        avvisa(kAttenzione, "Errore durante il salvataggio delle modifiche sul database");
        return;
    }
    scelta_.sceltaTestataCorrente = outcome.testata;
    rememberLine(*database);
    scelta_.clearLine();
    showBadge(*database);
    redraw();
}

void InserimentoSceltaViewController::rememberLine(Database& database) {
    scelta_.articoloLast = database.fetchArticoloByCodice(scelta_.articoloCorrente->codice().value_or(""));
    Log::f("Articolo Last: %@", scelta_.articoloLast ? scelta_.articoloLast->codice() : std::nullopt);
    scelta_.serieLast = nonEmpty(scelta_.serieCorrente);
    Log::f("Serie   Last: %@", scelta_.serieLast);
    scelta_.quantitaLast = scelta_.quantitaCorrente;
}

void InserimentoSceltaViewController::showBadge(Database& database) {
    if (!scelta_.sceltaTestataCorrente) return;
    auto righe = database.fetchAllSceltaRigaByTestata(*scelta_.sceltaTestataCorrente);
    if (righe && !righe->empty()) ui().setBadge(kTab, format("%d", static_cast<long long>(righe->size())));
}

void InserimentoSceltaViewController::tccTapped() {
    Log::line("tccTapped !!!");
    if (!scelta_.articoloCorrente || !scelta_.listinoCorrente) {
        avvisa(kAttenzione, "Prima scegli Listino ed Articolo", kContinuaScelta);
        return;
    }
    impostaColoreByBarcode(std::string(kTCC));
    scelta_.quantitaCorrente = 1;
    afterDelay(kDelay, [this] {
        if (Preferences::standard().boolForKey(keys::pref_TCCCONFERMAUNOENABLED)) {
            confirmTapped();
        } else {
            ui().scrollTo(*this, {kSezioneQuantita, 0}, ui::ScrollPosition::Middle);
        }
    });
    redraw();
}

void InserimentoSceltaViewController::previousTapped() {
    Log::line("previousTapped !!!");
    if (scelta_.articoloLast) {
        if (!scelta_.listinoCorrente) {
            avvisa("Attenzione", "Prima imposta un Listino !!!");
            return;
        }
        const Articolo last = *scelta_.articoloLast;
        const std::optional<std::string> serie = scelta_.serieLast;
        Log::f("Propongo LAST: %@ (Barcode=%@)", last.codice(), last.barCode());
        impostaArticolo(last.barCode());
        if (serie) {
            Log::f("Propongo LAST SERIE: %@", *serie);
            scelta_.serieCorrente = serie;
        }
    }
    scelta_.articoloLast.reset();
    scelta_.serieLast.reset();
    scelta_.giacenzaCorrente.reset();
    redraw();
}

void InserimentoSceltaViewController::autoTCCSwitched() {
    Log::line(scelta_.autoTccSwitch ? "Auto T+CC Switched era ON  ..." : "Auto T+CC Switched era OFF ...");
    scelta_.autoTccSwitch = !scelta_.autoTccSwitch;
    Log::line(scelta_.autoTccSwitch ? "          (diventa) -> ON" : "          (diventa) -> OFF");
}

void InserimentoSceltaViewController::annullaTapped() {
    Log::line("Annulla tapped...");
    std::shared_ptr<Database> database = store();
    const std::optional<SceltaTestata> testata = scelta_.sceltaTestataCorrente;
    const std::optional<OrderStatus> status = testata ? orderStatusOf(*testata) : std::nullopt;
    if (testata && status == OrderStatus::Open) {
        std::vector<SceltaRiga> righe;
        if (auto trovate = database ? database->fetchAllSceltaRigaByTestata(*testata) : std::nullopt) {
            righe = std::move(*trovate);
        }
        Log::f("ScelteRighe presenti %d", static_cast<long long>(righe.size()));
        ui().setBadge(kTab, format("%d", static_cast<long long>(righe.size())));
        if (righe.empty()) {
            scelta_.clearClientAndMemory();
        } else {
            // Any line will do: every line of an open order has its client and one of its lists.
            const SceltaRiga& riga = righe.front();
            const std::optional<std::string> cliente = testata->cliente();
            scelta_.clienteCorrente = cliente ? database->fetchClienteByCodice(*cliente) : std::nullopt;
            const std::optional<std::string> listino = riga.listino();
            scelta_.listinoCorrente = listino ? database->fetchListinoByBarCode(*listino) : std::nullopt;
            scelta_.articoloLast = articoloDellaRiga(*database, riga);
            scelta_.serieLast = nonEmpty(riga.serie());
        }
    } else if (testata && (status == OrderStatus::Sent || status == OrderStatus::Suspended)) {
        Log::line(status == OrderStatus::Sent ? "Ho SceltaTestata corrente ... ma e' gia' spedita ... quindi annullo TUTTO !!"
                              : "Ho SceltaTestata corrente ... ma e' sospesa ... quindi annullo TUTTO !!");
        scelta_.clearClientAndMemory();
        scelta_.sceltaTestataCorrente.reset();
    } else if (!testata && !scelta_.articoloCorrente) {
        Log::line("Non ho nessuna SceltaTestata corrente ... quindi annullo TUTTO !!");
        scelta_.clearClientAndMemory();
    }
    scelta_.clearLine();
    redraw();
}

void InserimentoSceltaViewController::fineSceltaTapped() {
    Log::line("Fine Scelta tapped...");
    if (scelta_.articoloCorrente) {
        avvisa(kAttenzione, "Sei a mezzo di una scelta ...", kContinuaScelta);
        return;
    }
    std::shared_ptr<Database> database = store();
    const std::optional<SceltaTestata> testata = scelta_.sceltaTestataCorrente;
    auto righe = testata && database ? database->fetchAllSceltaRigaByTestata(*testata) : std::nullopt;
    if (!righe || righe->empty()) {
        avvisa(std::nullopt, "Nessuna Scelta presente !!!", "Ok");
        return;
    }
    scelta_.clearClientAndMemory();
    const long long codice = testata->codice().value_or(0);
    Log::f("CodiceTestata=%d", codice);
    scelta_.sceltaTestataCorrente.reset();
    if (!navigation_) return;
    // A size line tapped in the review comes back here as the article being entered.
    std::weak_ptr<ui::Screen> self = weak_from_this();
    navigation_->openReview(*this, codice, session_, [self](const Articolo& articolo) {
        if (auto screen = std::static_pointer_cast<InserimentoSceltaViewController>(self.lock())) screen->setArticolo(articolo);
    });
}

}  // namespace torvane
