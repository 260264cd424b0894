#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "devices/ScannerClient.h"
#include "order/OrderNavigation.h"
#include "screens/ComboDelegate.h"
#include "rules/SceltaCorrente.h"
#include "rules/ScanTarget.h"
#include "platform/ui/Screen.h"

namespace torvane {

class CompanySession;
class Database;
class ScannerSource;

// The order-entry controller: holds the line being composed and the order it goes into.
// Every value arrives through one `imposta…` operation, whether it was scanned, picked from a
// list or sent by another screen; the actions confirm the line, cancel it and close the order.
// Owned through a shared pointer, so its delayed actions never outlive it. The scan rules reach
// it as their ScanTarget; it opens the screens above it through its OrderNavigation.
class InserimentoSceltaViewController : public ui::Screen, public ScannerScreen, public ComboDelegate, public ScanTarget {
public:
    // `session`: the company the screen works for; without one it shows nothing of a store.
    explicit InserimentoSceltaViewController(ui::Ui& ui, std::shared_ptr<CompanySession> session = nullptr);
    ~InserimentoSceltaViewController() override;

    const SceltaCorrente& scelta() const { return scelta_; }
    // The note field says when its editing starts and ends.
    void setImmissioneNotaInCorso(bool inCorso) { scelta_.immissioneNotaInCorso = inCorso; }

    // Scanned codes (either scanner): classified by their length.
    void barcodeData(const std::string& text, int type) override;
    void magneticCardData(const std::optional<std::string>& track1, const std::optional<std::string>& track2,
                          const std::optional<std::string>& track3) override;
    void scannerStatusChanged() override { redraw(); }

    void impostaCliente(const std::optional<std::string>& codice);
    void impostaListino(const std::string& barCode);
    void impostaArticolo(const std::optional<std::string>& barCode);
    void impostaSerie(const std::string& serie);
    void impostaColoreByBarcode(const std::optional<std::string>& barCode);
    void impostaGiacenza(const Giacenza& giacenza);
    void impostaQuantita(const std::optional<std::string>& quantita);
    void impostaNota(const std::string& nota);
    void setCliente(const Cliente& cliente);
    void setArticolo(const Articolo& articolo);
    void setGiacenza(const Giacenza& giacenza);
    std::optional<Cliente> getClienteCorrente() const { return scelta_.clienteCorrente; }
    std::optional<Listino> getListinoCorrente() const { return scelta_.listinoCorrente; }

    void confirmTapped();
    void tccTapped();
    void previousTapped();
    void autoTCCSwitched();
    void annullaTapped();
    void fineSceltaTapped();

    // The error beep of the screen: the device's sound and every scanner's.
    void boopa();
    void aggiorna() { redraw(); }
    void avvisa(std::optional<std::string> title, const std::string& message, const std::string& button = "Continua");
    // The company the screen works for, given by the company switch each time it makes one.
    void setSession(std::shared_ptr<CompanySession> session) { session_ = std::move(session); }
    const std::shared_ptr<CompanySession>& session() const { return session_; }
    // The store the screen works on; none when no store is open.
    std::shared_ptr<Database> store() const;

    // Run first each time the screen appears: the login and the company switch. Told whether
    // an order is in progress; false when no store may be used (it showed why).
    using StoreCheck = std::function<bool(bool orderInProgress)>;
    void setStoreCheck(StoreCheck check) { storeCheck_ = std::move(check); }
    // How the screen opens the review, the client screens and the article screens; without
    // one their rows and buttons open nothing.
    void setNavigation(std::shared_ptr<OrderNavigation> navigation) { navigation_ = std::move(navigation); }

    // The handheld scanner reads from `source` (a serial line, a test feed).
    void useHandheldSource(std::unique_ptr<ScannerSource> source);
    ScannerClient& scanners() { return *scanners_; }

    void viewWillAppear() override;
    void viewWillDisappear() override;
    std::vector<ui::NavigationButton> navigationButtons() const override;
    void navigationButtonTapped(const std::string& action) override;

    // The table: seven sections, drawn from the line being composed.
    std::vector<ui::Section> sections() const override;
    void didSelectRow(int section, int row) override;
    void accessoryTapped(int section, int row) override;
    void buttonTapped(const std::string& action, ui::IndexPath where) override;
    void switchChanged(const std::string& action, bool on, ui::IndexPath where) override;
    void textFieldDidBeginEditing(int tag) override;
    bool shouldChangeCharacters(int tag, const std::string& newText) override;
    void textFieldDidEndEditing(int tag, const std::string& text) override;
    // The price-list and colour pickers answer here.
    void comboWithName(const std::string& name, int tag, const std::vector<std::string>& array, int index) override;

    static constexpr int kTab = 0;

private:
    void quantitaProntaPerLaTastiera();
    // Row taps of each section.
    void clienteSelezionato();
    void listinoSelezionato();
    void articoloSelezionato();
    void coloreSelezionato(int row);
    void quantitaSelezionata();
    std::vector<Listino> listiniCandidati(Database& database) const;
    bool orderHasLines(Database& database) const;
    // Appearing: an order a maintenance action deleted is dropped, then the open orders of
    // the store are taken up.
    void dimenticaOrdineCancellato();
    // Appearing: reconcile with the orders in the store.
    void riprendiOrdine(Database& database);
    // Asks the agent for the price of the colour's variant; false when the screen must not be drawn.
    bool chiediPrezzo(Database& database, const std::string& variante);
    void reloadPrezzi(Database& database);
    bool checkLine();
    void rememberLine(Database& database);
    void showBadge(Database& database);

    std::shared_ptr<CompanySession> session_;
    StoreCheck storeCheck_;
    std::shared_ptr<OrderNavigation> navigation_;
    SceltaCorrente scelta_;
    // What each field showed when its editing began.
    std::map<int, std::string> testoAllInizio_;
    std::unique_ptr<ScannerClient> scanners_;
};

}  // namespace torvane
