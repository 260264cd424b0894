// The two buttons at the end of the review: sending (checks, document, fair PC, e-mail) and
// suspension or duplication.
#include <cerrno>
#include <chrono>

#include "mail/MailComposeViewController.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "review/DatiObbligatori.h"
#include "review/DuplicaOrdine.h"
#include "review/InvioFieraProgressScreen.h"
#include "review/OrderMail.h"
#include "review/OrderUpload.h"
#include "review/ReportScelta.h"
#include "review/RivediSceltaViewController.h"
#include "store/Database.h"
#include "store/OrderStatus.h"

namespace torvane {

namespace {

bool preferenza(std::string_view key) { return Preferences::standard().boolForKey(key); }

std::string secondiDal1970(Timestamp time) {
    const auto micro = std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count();
    return format("%d.%06d", static_cast<long long>(micro / 1000000), static_cast<long long>(micro % 1000000));
}

// Why the order's document could not be written, in the person's words.
std::string causaScrittura(int errore) {
    switch (errore) {
    case ENOSPC:
    case EDQUOT: return "spazio su disco esaurito";
    case EACCES:
    case EPERM: return "permesso negato";
    case EROFS: return "disco in sola lettura";
    default: return "errore di scrittura";
    }
}

}  // namespace

void RivediSceltaViewController::fineRivediSceltaTapped() {
    Log::line("RivediScelta Fine tapped...");
    Log::f("SceltaRiga presenti %d", static_cast<long long>(ordineRighe_.size()));
    // A second press while the order is on its way is not a second order.
    if (invioInCorso_ || !ordineTestata_) return;
    ui().endEditing(*this);
    giaInviato_ = inviato();
    if (giaInviato_)
        ui().showAlert(ui::Alert::simple("Attenzione:", "Questo Ordine e' gia' stato inviato !!", "OK"));
    if (!controllaOrdine()) return;
    auto db = store();
    if (!db) return;

    invioInCorso_ = true;
    redraw();
    errno = 0;
    documenti_ = PrivateTempFolder::create("ordine");
    const std::string xmlPath = documenti_ ? documenti_->file(secondiDal1970(now()) + ".xml") : std::string();
    // Without the order's document nothing goes: an e-mail or an upload without it would mark
    // the order sent with the order itself lost.
    std::string causa;
    if (xmlPath.empty()) causa = "cartella temporanea non disponibile, " + causaScrittura(errno);
    else if (!ReportScelta(db).createReportXmlOrdine(*ordineTestata_, xmlPath)) causa = causaScrittura(errno);
    if (!causa.empty()) {
        Log::f("Documento XML dell'ordine %d non scritto: %@", codiceTestata_, causa);
        documenti_.reset();
        invioInCorso_ = false;
        redraw();
        ui().showAlert(ui::Alert::simple("Attenzione:", format("Ordine non inviato: documento dell'ordine non scritto (%@)", causa), "Continua"));
        return;
    }
    if (preferenza(keys::pref_MODALITAFIERAENABLED) && !giaInviato_) {
        inviaAlPcFiera(xmlPath);
        return;
    }
    inviaMail(xmlPath);
}

bool RivediSceltaViewController::controllaOrdine() {
    auto db = store();
    if (!db) return false;
    auto avviso = [this](const std::string& title, const std::string& message) {
        ui().showAlert(ui::Alert::simple(title, message, "Continua"));
        return false;
    };
    if (ordineRighe_.empty()) return avviso("Attenzione:", "Non ci sono righe ordine !!");
    auto infoDestinazione = destinazioneCorrente_ ? destinazioneCorrente_->destinazioneInfo() : std::nullopt;
    bool completo = true;
    for (const std::string& mancante : DatiObbligatori::destinazione(*db, ordineCliente_, infoDestinazione))
        completo = avviso("Attenzione:", mancante);
    if (!completo) return false;
    if (ordineCliente_)
        for (const std::string& mancante : DatiObbligatori::nuovoCliente(*db, *ordineCliente_))
            completo = avviso("Attenzione:", mancante);
    if (!completo) return false;
    if (preferenza(keys::pref_FIRMAENABLED)) {
        auto firma = ordineTestata_->firma();
        if (!firma || firma->empty()) return avviso("Attenzione:", "La firma e' necessaria !");
    }
    if (preferenza(keys::pref_BUSUNITLISTENABLED) && (!infoDestinazione || infoDestinazione->businessUnits().empty()))
        return avviso("Attenzione:", "Seleziona almeno un Prodotto Trattato !!");
    if (auto obbligo = db->fetchParametroByAttributo("OBB-NOTE");
        obbligo && obbligo->valore().value_or("").rfind("S", 0) == 0 && ordineTestata_->note().value_or("").empty()) {
        std::string nome = Preferences::standard().stringForKey(keys::pref_NOTE).value_or("");
        return avviso("Attenzione", format("%@ obbligatorio", nome.empty() ? std::string("Note") : nome));
    }
    return true;
}

void RivediSceltaViewController::inviaAlPcFiera(const std::string& xmlPath) {
    auto db = store();
    auto upload = std::make_shared<OrderUpload>(OrderUpload::requestFor(*ordineTestata_, xmlPath), timeouts_, clock_);
    progresso_ = std::make_shared<InvioFieraProgressScreen>(ui());
    ui().presentModal(*this, progresso_);
    // The attempts run off the main thread; the outcome is applied on it, to the order itself,
    // even should this screen be gone by then.
    ui::Ui* piattaforma = &ui();
    std::weak_ptr<ui::Screen> schermo = weak_from_this();
    std::weak_ptr<InvioFieraProgressScreen> pannello = progresso_;
    const SceltaTestata testata = *ordineTestata_;
    auto clock = clock_;
    piattaforma->runInBackground([=] {
        const UploadResult result = upload->inviaOrdine([=](int tentativo) {
            piattaforma->postToMain([=] {
                if (auto panel = pannello.lock()) panel->setTentativo(tentativo);
            });
        });
        piattaforma->postToMain([=] {
            auto self = std::static_pointer_cast<RivediSceltaViewController>(schermo.lock());
            if (self) {
                self->fineUpload(result, xmlPath);
                return;
            }
            const Timestamp adesso = clock ? clock() : std::chrono::system_clock::now();
            if (db) UploadOutcome::apply(testata, *db, result, {}, adesso);
        });
    });
}

void RivediSceltaViewController::fineUpload(const UploadResult& result, const std::string& xmlPath) {
    if (auto panel = std::move(progresso_)) ui().dismissModal(*panel);
    auto db = store();
    const UploadRecord record =
        db ? UploadOutcome::apply(*ordineTestata_, *db, result, [this](const ui::Alert& alert) { ui().showAlert(alert); }, now())
           : UploadRecord::NotSaved;
    if (record != UploadRecord::Sent) {
        if (record == UploadRecord::NotSaved)
            ui().showAlert(ui::Alert::simple("Attenzione !!", "Errore durante il salvataggio delle modifiche sul database", "Continua"));
        invioInCorso_ = false;
        documenti_.reset();
        redraw();
        return;
    }
    if (!preferenza(keys::pref_INVIOMAILENABLED)) {
        invioInCorso_ = false;
        documenti_.reset();
        torna();
        return;
    }
    inviaMail(xmlPath);
}

void RivediSceltaViewController::inviaMail(const std::string& xmlPath) {
    auto db = store();
    MailDraft draft = OrderMail(db).compose(*ordineTestata_, xmlPath, now());
    documenti_.reset();  // the draft carries the documents' bytes
    if (!MailComposeViewController::canSendMail()) {
        ui().showAlert(ui::Alert::simple("Status:", "Il tuo apparato non e' configurato per inviare email", "ok"));
        invioInCorso_ = false;
        redraw();
        return;
    }
    auto composer = std::make_shared<MailComposeViewController>(ui(), std::move(draft), this);
    composer_ = composer;
    ui().presentModal(*this, composer);
}

void RivediSceltaViewController::mailComposeControllerDidFinish(MailComposeViewController& composer,
                                                               MailComposeResult result, const std::string& recipient) {
    std::string messaggio;
    switch (result) {
    case MailComposeResult::Saved: messaggio = "Messaggio salvato"; break;
    case MailComposeResult::Sent: messaggio = "Ordine inviato"; break;
    case MailComposeResult::Cancelled: messaggio = "Messaggio cancellato"; break;
    case MailComposeResult::Failed: messaggio = "Invio fallito"; break;
    case MailComposeResult::Queued: messaggio = MailComposeViewController::kQueuedMessage; break;
    default: messaggio = "Messaggio non inviato"; break;
    }
    const bool partito = result == MailComposeResult::Saved || result == MailComposeResult::Sent ||
                         result == MailComposeResult::Queued;
    if (partito && ordineTestata_) {
        Log::f("Messaggio inviato a %@", recipient);
        ordineTestata_->setEmailTrasmissione(recipient);
        setOrderStatus(*ordineTestata_, OrderStatus::Sent);
        if (!ordineTestata_->dataTrasmissione()) ordineTestata_->setDataTrasmissione(now());
        salva();
    }
    ui().dismissModal(composer);
    composer_.reset();
    invioInCorso_ = false;
    std::weak_ptr<ui::Screen> schermo = weak_from_this();
    ui().showAlert(ui::Alert::simple(std::nullopt, messaggio, "OK"), [schermo](const ui::AlertAnswer&) {
        if (auto self = std::static_pointer_cast<RivediSceltaViewController>(schermo.lock())) self->torna();
    });
}

void RivediSceltaViewController::sospendiOrdineTapped() {
    if (!ordineTestata_ || invioInCorso_) return;
    ui().endEditing(*this);
    auto db = store();
    if (!db) return;
    if (!inviato()) {
        setOrderStatus(*ordineTestata_, OrderStatus::Suspended);
        salva();
    } else if (!DuplicaOrdine::duplica(*db, *ordineTestata_, now())) {
        db->rollback();
        ui().showAlert(ui::Alert::simple("Errore:", "Non riesco a duplicare l'Ordine !", "Continua"));
    }
    torna();
}

}  // namespace torvane
