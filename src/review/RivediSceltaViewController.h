#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "screens/GenericTableDelegate.h"
#include "devices/SignaturePadDelegate.h"
#include "mail/MailComposeDelegate.h"
#include "screens/ComboDelegate.h"
#include "platform/IsoDate.h"
#include "platform/PrivateTempFolder.h"
#include "platform/ui/Screen.h"
#include "review/UploadOutcome.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;
class FirmaViewController;
class GenericTableViewController;
class InvioFieraProgressScreen;

// The review of one order before it leaves: its lines, the summary, and the data the company
// asks for (destination, products handled, agent, priorities, notes, signature), then the two
// buttons that send it or suspend it (a sent order: re-send by e-mail, or duplicate). Every
// change the agent makes is committed as it is made; a sent order is read-only.
class RivediSceltaViewController : public ui::Screen,
                                   public ComboDelegate,
                                   public GenericTableDelegate,
                                   public SignaturePadDelegate,
                                   public MailComposeDelegate {
public:
    // The fixed sections after the lines, counted from the first of them.
    enum Sezione { kRiepilogo, kNote, kDestinazione, kProdotti, kAgente, kPriorita, kFirma, kInvia, kSospendi, kSezioni };
    static constexpr int kTagNote = 1;

    RivediSceltaViewController(ui::Ui& ui, long long codiceTestata, std::shared_ptr<CompanySession> session = nullptr);

    // Where the article of a tapped size line goes (order entry); none when nobody takes it.
    void setConsegnaArticolo(std::function<void(const Articolo&)> consegna) { consegnaArticolo_ = std::move(consegna); }
    // Tests shorten the fair PC's time-outs and fix the clock.
    void setUploadTimeouts(UploadTimeouts timeouts) { timeouts_ = timeouts; }
    void setClock(std::function<Timestamp()> clock) { clock_ = std::move(clock); }

    const std::optional<SceltaTestata>& ordineTestata() const { return ordineTestata_; }
    const std::vector<SceltaRiga>& ordineRighe() const { return ordineRighe_; }
    const std::optional<Destinazione>& destinazioneCorrente() const { return destinazioneCorrente_; }
    bool inviato() const;

    // The table: one section per line, then the fixed sections.
    int numberOfSections() const override;
    int numberOfRows(int section) const override;
    ui::Row rowAt(int section, int row) const override;
    ui::SectionHeader sectionHeader(int section) const override;
    std::vector<ui::NavigationButton> navigationButtons() const override;

    void viewWillAppear() override;
    void didSelectRow(int section, int row) override;
    void buttonTapped(const std::string& action, ui::IndexPath where) override;
    void switchChanged(const std::string& action, bool on, ui::IndexPath where) override;
    bool shouldChangeCharacters(int tag, const std::string& newText) override;
    void textFieldDidBeginEditing(int tag) override;
    void textFieldDidEndEditing(int tag, const std::string& text) override;
    void navigationButtonTapped(const std::string& action) override;
    void setEditing(bool editing) override;
    void commitDeletion(int section, int row) override;

    // The two buttons at the end.
    void fineRivediSceltaTapped();
    void sospendiOrdineTapped();
    void firmaButtonTapped();

    void comboWithName(const std::string& name, int tag, const std::vector<std::string>& array, int index) override;
    void genericTableControllerWithName(const std::string& name, const std::string& button) override;
    void signaturePadDidCompleteWithSignature(const Signature& signature) override;
    void signaturePadDidCompleteWithNoData() override;
    void didDismissModalView() override;
    void mailComposeControllerDidFinish(MailComposeViewController& composer, MailComposeResult result,
                                        const std::string& recipient) override;

    static std::string estraiCodiceFromDescrizione(const std::string& descrizione);

private:
    std::shared_ptr<Database> store() const;
    Timestamp now() const;
    void carica();
    void caricaRighe();
    void compare();
    void modificaAnagraficaDestinazione();
    void scegliDestinazione();
    void scegliAgente();
    // Commits; on a refusal rolls back, tells the agent and returns false.
    bool salva();
    void torna();

    // Sending, after the checks.
    bool controllaOrdine();
    void inviaAlPcFiera(const std::string& xmlPath);
    void fineUpload(const UploadResult& result, const std::string& xmlPath);
    void inviaMail(const std::string& xmlPath);

    ui::Row rigaSenzaTaglie(const SceltaRiga& riga) const;
    ui::Row rigaTaglie(std::size_t indice, int row) const;
    ui::Row rigaFissa(int sezione, int row) const;
    // A line's sizes, read once; a line with sizes is drawn as a size line.
    const std::vector<SceltaTaglia>& taglieDi(std::size_t indice) const;
    bool conTaglie(std::size_t indice) const { return !taglieDi(indice).empty(); }
    std::string immagineArticolo(const std::string& codice) const;
    bool sezioneRiga(int section) const { return section >= 0 && section < static_cast<int>(ordineRighe_.size()); }

    long long codiceTestata_;
    std::shared_ptr<CompanySession> session_;
    std::function<void(const Articolo&)> consegnaArticolo_;
    UploadTimeouts timeouts_ = defaultUploadTimeouts;
    std::function<Timestamp()> clock_;

    std::optional<SceltaTestata> ordineTestata_;
    std::vector<SceltaRiga> ordineRighe_;
    mutable std::vector<std::optional<std::vector<SceltaTaglia>>> taglie_;
    std::optional<Cliente> ordineCliente_;
    std::optional<Listino> ordineListino_;
    std::optional<Destinazione> destinazioneCorrente_;
    std::vector<std::string> noteDesc_, noteCont_;
    std::vector<std::string> noteDestinazioneDesc_, noteDestinazioneCont_;
    std::vector<BusinessUnit> busUnitList_;
    bool negozioUgualeDestinazione_ = false;
    bool conListaBusinessUnit_ = false;
    bool conInfoCommerciali_ = false;
    bool firmaInCalce_ = false;
    bool noteInModifica_ = false;
    bool giaApparso_ = false;
    // One press sends once: set from the send button until the sending has ended.
    bool invioInCorso_ = false;
    bool giaInviato_ = false;
    std::string firmaPath_;
    // The signature shown, and the order's documents while it is being sent, live here.
    std::optional<PrivateTempFolder> cartella_;
    int versioneFirma_ = 0;
    std::optional<PrivateTempFolder> documenti_;
    std::shared_ptr<FirmaViewController> firma_;
    std::shared_ptr<GenericTableViewController> formDestinazione_;
    std::shared_ptr<InvioFieraProgressScreen> progresso_;
    std::shared_ptr<ui::Screen> composer_;
};

}  // namespace torvane
