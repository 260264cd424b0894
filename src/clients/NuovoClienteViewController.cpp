#include "clients/NuovoClienteViewController.h"

#include <cstdlib>

#include "clients/NuovoCodiceCliente.h"
#include "screens/ComboViewController.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/Picture.h"
#include "platform/ui/Ui.h"
#include "platform/ui/LabelBuilder.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFailure.h"

namespace torvane {

namespace {

struct Lingua {
    const char* titolo;
    const char* voce;
};
constexpr Lingua kLingue[] = {{"Italiano", "[1] Italiano"}, {"Inglese", "[2] Inglese"},   {"Tedesco", "[3] Tedesco"},
                              {"Francese", "[4] Francese"}, {"Spagnolo", "[5] Spagnolo"}, {"Portoghese", "[6] Portoghese"}};
constexpr ui::Color kRosso{220, 0, 0};

ui::Row choiceRow(const std::string& name, const std::string& action, const std::string& title) {
    ui::Row row;
    ui::Button button;
    button.action = action;
    button.title = title;
    row.items = {ui::label(name), button};
    row.selectable = false;
    return row;
}

bool parameterSaysYes(Database& database, const std::string& attributo) {
    auto parametro = database.fetchParametroByAttributo(attributo);
    const std::string valore = parametro ? parametro->valore().value_or("") : "";
    return !valore.empty() && valore[0] == 'S';
}

}  // namespace

NuovoClienteViewController::NuovoClienteViewController(ui::Ui& ui, std::optional<Cliente> cliente,
                                                       std::shared_ptr<CompanySession> session)
    : Screen(ui), session_(std::move(session)), cliente_(std::move(cliente)) {
    setTitle(cliente_ ? "Variazione  Cliente" : "Nuovo  Cliente");
    if (cliente_)
        if (auto database = this->store()) riempiDaCliente(*database);
    ScannerClient::Options options;
    options.wording = ScannerClient::Options::StateWording::Scanner;
    scanners_ = std::make_unique<ScannerClient>(ui, *this, options);
}

NuovoClienteViewController::~NuovoClienteViewController() {
    if (scanners_ && scanners_->attached()) scanners_->detach();
}

std::shared_ptr<Database> NuovoClienteViewController::store() const {
    return session_ ? session_->store() : nullptr;
}

std::string& NuovoClienteViewController::testo(int tag) { return testi_.at(static_cast<std::size_t>(tag)); }
const std::string& NuovoClienteViewController::testo(int tag) const { return testi_.at(static_cast<std::size_t>(tag)); }

void NuovoClienteViewController::riempiDaCliente(Database& database) {
    const Cliente& c = *cliente_;
    testo(RagioneSociale) = c.ragioneSociale1().value_or("");
    const long long lingua = std::atoll(c.lingua().value_or("").c_str());
    if (lingua >= 1 && lingua <= 6) lingua_ = std::to_string(lingua);
    if (auto codice = c.mastro()) mastro_ = database.fetchMastroByCodice(*codice);
    if (auto codice = c.listino()) listino_ = database.fetchListinoByBarCode(*codice);
    if (auto codice = c.agenteTemporaneo()) agente_ = database.fetchAgenteByCodice(*codice);
    testo(Indirizzo) = c.indirizzo1().value_or("");
    testo(Citta) = c.citta().value_or("");
    testo(Cap) = c.cap().value_or("");
    testo(Provincia) = c.provincia().value_or("");
    // The form has one telephone line, kept in the client's fax.
    testo(Telefono) = c.fax().value_or("");
    if (auto codice = c.nazione()) nazione_ = database.fetchNazioneByCodice(*codice);
    testo(Email) = c.email().value_or("");
    testo(Note) = c.note().value_or("");
    testo(CodiceFiscale) = c.codiceFiscale().value_or("");
    foto_ = c.foto();
}

std::vector<ui::Section> NuovoClienteViewController::sections() const {
    auto field = [this](int tag, const std::string& placeholder, ui::Keyboard keyboard = ui::Keyboard::Default,
                        int maxLength = 0) {
        ui::TextField made;
        made.tag = tag;
        made.text = testo(tag);
        made.placeholder = placeholder;
        made.keyboard = keyboard;
        made.maxLength = maxLength;
        ui::Row row;
        row.items = {ui::label(placeholder), made};
        row.selectable = false;
        return row;
    };
    ui::Section nome{"Ragione Sociale", "", {field(RagioneSociale, "Ragione Sociale")}};
    if (ragioneSocialeErrata_) std::get<ui::TextField>(nome.rows[0].items[1]).color = kRosso;

    std::string linguaTitolo = "Lingua";
    if (lingua_) linguaTitolo = kLingue[std::atoi(lingua_->c_str()) - 1].titolo;
    ui::Section scelte{"Dati", "", {}};
    scelte.rows.push_back(choiceRow("Lingua", "lingua", linguaTitolo));
    scelte.rows.push_back(choiceRow("Mastro", "mastro", mastro_ ? format("Mas.%@", mastro_->codice()) : "Mastro"));
    scelte.rows.push_back(choiceRow(
        "Listino", "listino",
        listino_ ? format("%@ %@ %@/%@", listino_->collezione(), listino_->businessUnit(), listino_->divisa(), listino_->um())
                 : "Listino"));
    scelte.rows.push_back(choiceRow("Agente", "agente", agente_ ? agente_->codice().value_or("") : "Agente"));
    scelte.rows.push_back(choiceRow("Nazione", "nazione", nazione_ ? nazione_->codice().value_or("") : "Nazione"));

    ui::Section indirizzo{"Indirizzo", "", {}};
    indirizzo.rows = {field(Indirizzo, "Indirizzo"), field(Citta, "Citta'"),
                      field(Provincia, "Provincia", ui::Keyboard::Default, kProvinciaLength),
                      field(Cap, "CAP", ui::Keyboard::Number),
                      field(Telefono, "Telefono", ui::Keyboard::Phone), field(Email, "Email", ui::Keyboard::Email),
                      field(Note, "Note"), field(CodiceFiscale, "Codice Fiscale")};

    ui::Section foto{"Foto", "", {}};
    ui::Row fotoRow = choiceRow("Foto", "fotocamera", foto_ ? "Cambia foto" : "Scatta foto");
    if (foto_)
        if (auto size = Picture::pngSize(*foto_)) {
            ui::Image image;
            image.width = size->first;
            image.height = size->second;
            image.encoded = std::make_shared<const std::vector<unsigned char>>(*foto_);
            fotoRow.items.push_back(image);
        }
    foto.rows.push_back(fotoRow);
    return {nome, scelte, indirizzo, foto};
}

std::vector<ui::NavigationButton> NuovoClienteViewController::navigationButtons() const {
    return {{"annullaTapped", "Annulla", ui::NavigationSide::Left}, {"confermaTapped", "Conferma", ui::NavigationSide::Right}};
}

void NuovoClienteViewController::viewWillAppear() { scanners_->attach(); }

void NuovoClienteViewController::viewWillDisappear() {
    ui().endEditing(*this);
    scanners_->detach();
}

void NuovoClienteViewController::buttonTapped(const std::string& action, ui::IndexPath) {
    auto database = store();
    if (!database) return;
    ui().endEditing(*this);
    std::vector<std::string> voci;
    std::string nome;
    if (action == "lingua") {
        nome = "Lingua";
        for (const Lingua& l : kLingue) voci.emplace_back(l.voce);
    } else if (action == "mastro") {
        nome = "Mastro";
        mastri_ = database->fetchAllMastro().value_or(std::vector<Mastro>{});
        for (const Mastro& m : mastri_) voci.push_back(m.descrizione().value_or(""));
    } else if (action == "listino") {
        nome = "Listino";
        listini_ = database->fetchAllListinoWithTipo("N").value_or(std::vector<Listino>{});
        for (const Listino& l : listini_) voci.push_back(l.descrizione().value_or(""));
    } else if (action == "agente") {
        nome = "Agente";
        agenti_ = database->fetchAllAgente().value_or(std::vector<Agente>{});
        for (const Agente& a : agenti_) voci.push_back(format("%@ %@", a.codice(), a.ragioneSociale()));
    } else if (action == "nazione") {
        nome = "Nazione";
        nazioni_ = database->fetchAllNazione().value_or(std::vector<Nazione>{});
        for (const Nazione& n : nazioni_) {
            const std::string descrizione = n.descrizione().value_or("");
            voci.push_back(descrizione.empty() ? n.codice().value_or("") : descrizione);
        }
    } else if (action == "fotocamera") {
        std::weak_ptr<Screen> alive = weak_from_this();
        ui().chooseImage(*this, [this, alive](std::optional<std::string> path) {
            if (alive.lock() && path) immagineScelta(*path);
        });
        return;
    } else {
        return;
    }
    ui().push(*this, std::make_shared<ComboViewController>(ui(), nome, 0, voci, this));
}

void NuovoClienteViewController::comboWithName(const std::string& name, int, const std::vector<std::string>&, int index) {
    if (index < 0) return;
    const auto i = static_cast<std::size_t>(index);
    if (name == "Lingua" && i < std::size(kLingue)) lingua_ = format("%d", index + 1);
    else if (name == "Mastro" && i < mastri_.size()) mastro_ = mastri_[i];
    else if (name == "Listino" && i < listini_.size()) listino_ = listini_[i];
    else if (name == "Agente" && i < agenti_.size()) agente_ = agenti_[i];
    else if (name == "Nazione" && i < nazioni_.size()) nazione_ = nazioni_[i];
    redraw();
}

bool NuovoClienteViewController::shouldChangeCharacters(int tag, const std::string& newText) {
    // Kept as typed, so that Return can judge the name while its field stays open.
    if (tag >= RagioneSociale && tag <= Provincia) testo(tag) = newText;
    return true;
}

void NuovoClienteViewController::textFieldDidEndEditing(int tag, const std::string& text) {
    if (tag < RagioneSociale || tag > Provincia) return;
    testo(tag) = text;
}

bool NuovoClienteViewController::textFieldShouldReturn(int tag) {
    if (tag == RagioneSociale) {
        ragioneSocialeErrata_ = testo(RagioneSociale).empty();
        redraw();
        if (ragioneSocialeErrata_) {
            // The keyboard stays, for the name still to be typed.
            ui().showAlert(ui::Alert::simple("Errore", "Devi impostare una Ragione Sociale valida !", "Sii piu' preciso"));
            return false;
        }
    }
    ui().endEditing(*this);
    // Return in the last field is "Conferma": it only saves what was typed, after the same checks.
    if (tag == CodiceFiscale) confermaTapped();
    return true;
}

void NuovoClienteViewController::barcodeData(const std::string& text, int) {
    Log::f("Barcode (len=%d) letto : %@", static_cast<long long>(utf16Length(text)), text);
    auto database = store();
    const std::size_t length = utf16Length(text);
    if (length == 3 && database) {
        if (auto listino = database->fetchListinoByBarCode(text)) {
            listino_ = listino;
            redraw();
            return;
        }
    } else if (length == 9) {
        testo(RagioneSociale) = format("%@%@", testo(RagioneSociale), text);
        redraw();
        return;
    }
    scanners_->boopa();
}

void NuovoClienteViewController::magneticCardData(const std::optional<std::string>& track1,
                                                  const std::optional<std::string>& track2,
                                                  const std::optional<std::string>& track3) {
    scanners_->cardBeep();
    Log::f("CARD track1: %@", track1);
    Log::f("     track2: %@", track2);
    Log::f("     track3: %@", track3);
}

void NuovoClienteViewController::immagineScelta(const std::string& path) {
    std::string problem;
    auto png = Picture::pngFromFile(path, problem);
    if (!png) {
        ui().showAlert(ui::Alert::simple("Errore", problem, "Continua"));
        return;
    }
    foto_ = std::move(png);
    redraw();
}

void NuovoClienteViewController::navigationButtonTapped(const std::string& action) {
    if (action == "confermaTapped") confermaTapped();
    else if (action == "annullaTapped") annullaTapped();
}

void NuovoClienteViewController::annullaTapped() {
    ui().endEditing(*this);
    ui().pop(*this);
}

std::optional<std::string> NuovoClienteViewController::problem(Database& database) const {
    if (testo(RagioneSociale).empty()) return "La Ragione Sociale e' obbligatoria !";
    if (!lingua_) return "La Lingua e' obbligatoria !";
    if (!mastro_) return "Il Mastro e' obbligatorio !";
    if (parameterSaysYes(database, "OBB-AGENTE") && !agente_) return "Agente obbligatorio !";
    if (parameterSaysYes(database, "OBB-NAZIONE") && !nazione_) return "Nazione obbligatoria !";
    if (parameterSaysYes(database, "OBB-CODICEFISCALE") && testo(CodiceFiscale).empty())
        return "Cod.Fiscale o PartitaIva, obbligatorio !";
    return std::nullopt;
}

void NuovoClienteViewController::scrivi(Cliente& c) const {
    c.setRagioneSociale1(testo(RagioneSociale));
    c.setLingua(lingua_);
    c.setMastro(mastro_ ? mastro_->codice() : std::nullopt);
    c.setListino(listino_ ? listino_->barCode() : std::nullopt);
    c.setAgenteTemporaneo(agente_ ? agente_->codice() : std::nullopt);
    c.setIndirizzo1(testo(Indirizzo));
    c.setCitta(testo(Citta));
    c.setCap(testo(Cap));
    c.setProvincia(testo(Provincia));
    c.setFax(testo(Telefono));
    c.setNazione(nazione_ ? nazione_->codice() : std::nullopt);
    c.setEmail(testo(Email));
    c.setNote(testo(Note));
    c.setCodiceFiscale(testo(CodiceFiscale));
    c.setPartitaIva(testo(CodiceFiscale));
    if (foto_) c.setFoto(*foto_);
}

void NuovoClienteViewController::confermaTapped() {
    Log::line("Fine Nuovo Cliente tapped ...");
    ui().endEditing(*this);
    auto database = store();
    if (!database) return;
    if (auto wrong = problem(*database)) {
        ui().showAlert(ui::Alert::simple("Errore", *wrong, "Continua"));
        return;
    }
    std::optional<Cliente> cliente = cliente_;
    if (!cliente) cliente = nuovoClienteConCodice(*database, "NEW%03d");
    if (!cliente) {
        ui().showAlert(ui::Alert::simple("Errore", "Errore durante la creazione di un oggetto Cliente", "Continua"));
        return;
    }
    scrivi(*cliente);
    try {
        database->commit();
    } catch (const StoreFailure& failure) {
        // Nothing of this confirmation stays pending: neither the new client nor the counter's
        // step (a second "Conferma" would make another of each), nor a changed client's edits.
        // The form keeps what was typed, to try again.
        database->rollback();
        ui().showAlert(ui::Alert::simple("Errore", failure.reason(), "Continua"));
        return;
    }
    cliente_ = cliente;
    ui().pop(*this);
}

}  // namespace torvane
