#include "order/SceltaTaglieViewController.h"

#include <algorithm>
#include <climits>

#include "rules/ScanText.h"
#include "order/TaglieCell.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "store/Database.h"

namespace torvane {

namespace {

constexpr double kStepperPasso = 1;
constexpr double kStepperMinimo = 0;
constexpr double kStepperMassimo = 50;
constexpr std::chrono::milliseconds kRitardoScroll{300};
constexpr const char* kAzioneStepper = "stepperValueChanged";
constexpr const char* kAzioneDeseleziona = "chiudiKeyboard";

// A size quantity is a count of pieces: never negative, and kept within what "%d" shows, so
// that sums over the grid cannot overflow.
long long quantitaValida(long long quantita) { return std::clamp<long long>(quantita, 0, INT_MAX); }

std::string testoQuantita(long long quantita) { return quantita != 0 ? format("%d", quantita) : std::string(); }

}  // namespace

SceltaTaglieViewController::SceltaTaglieViewController(ui::Ui& ui, std::shared_ptr<Database> database,
                                                       const Articolo& articolo, int posizione)
    : Screen(ui), database_(std::move(database)), posizione_(posizione) {
    Log::line("SceltaTaglie init");
    // Looked up again, so the grid reads the store's own record even if the caller's
    // handle came from an older fetch.
    if (auto barCode = articolo.barCode(); barCode && database_) {
        articolo_ = database_->fetchArticoloByBarCode(*barCode);
    }
    if (!articolo_ && articolo.exists()) articolo_ = articolo;
    setTitle(articolo_ ? articolo_->codice().value_or("") : std::string());
    Log::f("Colori          trovati %d", articolo_ ? static_cast<long long>(articolo_->colori().size()) : 0LL);
    Log::f("Colori SX Barra trovati %d", static_cast<long long>(radici().size()));
}

bool SceltaTaglieViewController::isSelected(int section, int row) const {
    const std::optional<int> tag = tagAt(section, row);
    return tag && selezionate_.count(*tag) > 0;
}

std::vector<ColoreSxBarra> SceltaTaglieViewController::radici() const {
    return articolo_ ? articolo_->coloriSxbarra() : std::vector<ColoreSxBarra>{};
}

std::size_t SceltaTaglieViewController::numeroTaglie() const {
    return articolo_ && database_ ? TaglieCell::taglieArticolo(*database_, *articolo_).size() : 0;
}

std::optional<TempSceltaTaglia> SceltaTaglieViewController::rigaTaglia(int tag) const {
    if (tag < 10001) return std::nullopt;
    const ui::IndexPath where = indexPathForTag(tag);
    const std::vector<ColoreSxBarra> tutte = radici();
    if (where.row < 0 || where.section >= static_cast<int>(tutte.size())) return std::nullopt;
    if (where.row >= static_cast<int>(numeroTaglie())) return std::nullopt;
    std::vector<TempSceltaTaglia> righe = tutte[static_cast<std::size_t>(where.section)].tempSceltaTaglie();
    if (where.row >= static_cast<int>(righe.size())) return std::nullopt;
    return righe[static_cast<std::size_t>(where.row)];
}

std::vector<ui::Section> SceltaTaglieViewController::sections() const {
    const std::vector<TagliaDettaglio> taglie =
        articolo_ && database_ ? TaglieCell::taglieArticolo(*database_, *articolo_) : std::vector<TagliaDettaglio>{};
    std::vector<ui::Section> sezioni;
    const std::vector<ColoreSxBarra> tutte = radici();
    for (std::size_t s = 0; s < tutte.size(); ++s) {
        ui::Section sezione;
        sezione.title = tutte[s].codice().value_or("Colore inesistente");
        if (taglie.empty())
            Log::line("SceltaTaglie numberOfRowInSection ZERO !!!!!! Nessuna Taglia collegata a questo ARTICOLO ");
        const std::vector<TempSceltaTaglia> righe = tutte[s].tempSceltaTaglie();
        for (std::size_t r = 0; r < taglie.size(); ++r) {
            const int tag = tagFor(static_cast<int>(s), static_cast<int>(r));
            // A size whose temporary row could not be made is shown, but cannot be edited.
            const bool presente = r < righe.size();
            const long long quantita = presente ? righe[r].quantita().value_or(0) : 0;
            ui::Row row;
            row.kind = "SceltaTaglieCell";
            row.selected = selezionate_.count(tag) > 0;
            ui::Label label1;
            label1.text = presente ? righe[r].taglia().value_or("") : taglie[r].codice().value_or("");
            row.items.emplace_back(label1);
            ui::TextField field;
            field.tag = tag;
            field.text = testoQuantita(quantita);
            field.keyboard = ui::Keyboard::Decimal;
            field.alignment = ui::Alignment::Right;
            field.enabled = presente;
            row.items.emplace_back(field);
            ui::Stepper stepper1;
            stepper1.action = kAzioneStepper;
            stepper1.step = kStepperPasso;
            stepper1.minimum = kStepperMinimo;
            stepper1.maximum = kStepperMassimo;
            stepper1.value = std::clamp(static_cast<double>(quantita), kStepperMinimo, kStepperMassimo);
            stepper1.enabled = presente;
            row.items.emplace_back(stepper1);
            sezione.rows.push_back(std::move(row));
        }
        sezioni.push_back(std::move(sezione));
    }
    return sezioni;
}

std::vector<ui::NavigationButton> SceltaTaglieViewController::navigationButtons() const {
    return {{kAzioneDeseleziona, "De-seleziona", ui::NavigationSide::Right, true}};
}

void SceltaTaglieViewController::viewDidAppear() {
    if (posizione_ < 1) return;
    const int posizione = posizione_;
    afterDelay(kRitardoScroll, [this, posizione] { centerTableForSection(posizione); });
}

void SceltaTaglieViewController::centerTableForSection(int posizione) {
    const int sezione = posizione - 1;
    Log::f("SceltaTaglie centerTableForSection %d (SEZ=%d ROW=%d)", posizione, sezione, 0);
    // A position past the grid (the article changed since the row was tapped) scrolls nowhere.
    if (sezione < 0 || sezione >= static_cast<int>(radici().size()) || numeroTaglie() == 0) return;
    ui().scrollTo(*this, {sezione, 0}, ui::ScrollPosition::Top);
}

void SceltaTaglieViewController::viewWillDisappear() { ui().endEditing(*this); }

std::optional<int> SceltaTaglieViewController::tagAt(int section, int row) {
    // Beyond these a tag would not decode back to the same place (or not fit an int).
    if (section < 0 || row < 0 || row >= 9999 || section > INT_MAX / 10000 - 2) return std::nullopt;
    return tagFor(section, row);
}

void SceltaTaglieViewController::didSelectRow(int section, int row) {
    const std::optional<int> tag = tagAt(section, row);
    if (!tag || !rigaTaglia(*tag)) return;
    Log::f("SceltaTaglie    selected %d %d", section, row);
    selezionate_.insert(*tag);
}

void SceltaTaglieViewController::didDeselectRow(int section, int row) {
    const std::optional<int> tag = tagAt(section, row);
    if (!tag) return;
    Log::f("SceltaTaglie DE-selected %d %d", section, row);
    selezionate_.erase(*tag);
}

void SceltaTaglieViewController::navigationButtonTapped(const std::string& action) {
    if (action == kAzioneDeseleziona) chiudiKeyboard();
}

void SceltaTaglieViewController::chiudiKeyboard() {
    Log::line("SceltaTaglie chiudiKeyboard");
    // Ending the edit first lets a typed quantity still reach the rows selected with it.
    ui().endEditing(*this);
    selezionate_.clear();
    redraw();
}

long long SceltaTaglieViewController::updateQuantita(int tag, const std::string& campoVal) {
    const std::optional<TempSceltaTaglia> riga = rigaTaglia(tag);
    if (!riga) return 0;
    const long long vecchia = riga->quantita().value_or(0);
    const long long nuova = quantitaValida(ScanText::leadingInteger(campoVal));
    riga->setQuantita(nuova);
    const ui::IndexPath where = indexPathForTag(tag);
    Log::f("     UPD  (SEZ=%d ROW=%d)", where.section, where.row);
    redraw();
    return nuova - vecchia;
}

void SceltaTaglieViewController::propagaDelta(int tag, long long delta) {
    for (int altra : selezionate_) {
        if (altra == tag) continue;
        if (auto riga = rigaTaglia(altra)) riga->setQuantita(quantitaValida(riga->quantita().value_or(0) + delta));
    }
}

void SceltaTaglieViewController::propagaValore(int tag, long long valore) {
    for (int altra : selezionate_) {
        if (altra == tag) continue;
        if (auto riga = rigaTaglia(altra)) riga->setQuantita(quantitaValida(valore));
    }
}

void SceltaTaglieViewController::stepperChanged(const std::string& action, double value, ui::IndexPath where) {
    const std::optional<int> tag = tagAt(where.section, where.row);
    if (action != kAzioneStepper || !tag) return;
    stepperValueChanged(*tag, value);
}

void SceltaTaglieViewController::stepperValueChanged(int tag, double value) {
    Log::f("Stepper %d Value=%f Step=%f min=%f max=%f", tag, value, kStepperPasso, kStepperMinimo, kStepperMassimo);
    if (!rigaTaglia(tag)) return;
    const long long delta = updateQuantita(tag, format("%.0f", value));
    propagaDelta(tag, delta);
    // The selection is kept: the redrawn rows still report it.
    redraw();
}

void SceltaTaglieViewController::textFieldDidBeginEditing(int tag) {
    const std::optional<TempSceltaTaglia> riga = rigaTaglia(tag);
    if (!riga) return;
    campoInModifica_ = tag;
    testoInModifica_ = testoQuantita(riga->quantita().value_or(0));
    Log::f("SceltaTaglie textFieldDidBeginEditing: %@ TAG=%d", testoInModifica_, tag);
    afterDelay(kRitardoScroll, [this, tag] { scrollToMiddle(tag); });
}

void SceltaTaglieViewController::scrollToMiddle(int tag) {
    if (!rigaTaglia(tag)) return;
    ui().scrollTo(*this, indexPathForTag(tag), ui::ScrollPosition::Middle);
}

bool SceltaTaglieViewController::shouldChangeCharacters(int tag, const std::string& newText) {
    if (campoInModifica_ == tag) testoInModifica_ = newText;
    return true;
}

void SceltaTaglieViewController::textFieldDidEndEditing(int tag, const std::string& text) {
    Log::f("SceltaTaglie textFieldDidEndEditing  : %@ TAG=%d", text, tag);
    if (campoInModifica_ == tag) campoInModifica_.reset();
    if (!rigaTaglia(tag)) return;
    updateQuantita(tag, text);
    if (selezionate_.empty()) return;
    propagaValore(tag, ScanText::leadingInteger(text));
    redraw();
}

bool SceltaTaglieViewController::textFieldShouldReturn(int tag) {
    Log::f("SceltaTaglie textFieldShouldReturn: %@", campoInModifica_ == tag ? testoInModifica_ : std::string());
    ui().endEditing(*this);
    return true;
}

}  // namespace torvane
