#include "review/ArchivioViewController.h"

#include <algorithm>

#include "mail/Outbox.h"
#include "platform/DateFormat.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "platform/ui/LabelBuilder.h"
#include "review/RivediSceltaViewController.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/OrderStatus.h"
#include "store/StoreConnection.h"
#include "store/StoreFailure.h"

namespace torvane {

namespace {

constexpr ui::Color kBlu{0, 0, 255};
constexpr ui::Color kRosso{255, 0, 0};

long long suspended(const std::vector<SceltaTestata>& orders) {
    return std::count_if(orders.begin(), orders.end(),
                         [](const SceltaTestata& t) { return orderStatusOf(t) == OrderStatus::Suspended; });
}

}  // namespace

ArchivioViewController::ArchivioViewController(ui::Ui& ui, std::shared_ptr<CompanySession> session)
    : Screen(ui), session_(std::move(session)) {
    setTitle("Archivio");
    Preferences& prefs = Preferences::standard();
    if (prefs.boolForKey(keys::pref_deleteOrdiniEnabled))
        if (auto database = this->store()) {
            Log::line("Cancello archivio Ordini ...");
            database->deleteAllScelta();
            try {
                database->commit();
                prefs.removeObjectForKey(keys::pref_deleteOrdiniEnabled);
                prefs.synchronize();
            } catch (const StoreFailure&) {
                database->rollback();  // the request stays for the next time
            }
        }
    caricaLista();
}

std::shared_ptr<Database> ArchivioViewController::store() const { return session_ ? session_->store() : nullptr; }

void ArchivioViewController::caricaLista() {
    auto database = store();
    listaScelte_ = database ? database->fetchAllSceltaTestata().value_or(std::vector<SceltaTestata>{})
                            : std::vector<SceltaTestata>{};
    // An e-mail saved but not sent yet has not left the device: its order says so.
    inUscita_.clear();
    for (const OutboxEntry& entry : Outbox().list())
        if (entry.codiceOrdine) inUscita_.insert(*entry.codiceOrdine);
    // Every order's line count in one reading, not one query per row drawn.
    righePerOrdine_.clear();
    if (!database) return;
    try {
        for (const SqlRow& row : database->connection()->query(
                 "SELECT sceltaTestata, COUNT(*) FROM \"SceltaRiga\" GROUP BY sceltaTestata")) {
            const auto* id = std::get_if<long long>(&row.at(0));
            const auto* n = std::get_if<long long>(&row.at(1));
            if (id && n) righePerOrdine_[*id] = *n;
        }
    } catch (const std::exception& failure) {
        Log::f("Archivio: righe degli ordini non lette: %@", failure.what());
    }
}

std::vector<ui::NavigationButton> ArchivioViewController::navigationButtons() const {
    return {{"edit", isEditing() ? "Fine" : "Modifica", ui::NavigationSide::Right}};
}

void ArchivioViewController::navigationButtonTapped(const std::string& action) {
    if (action != "edit") return;
    setEditing(!isEditing());
    redraw();
}

int ArchivioViewController::numberOfRows(int section) const {
    return section >= 0 && section < numberOfSections() ? 1 : 0;
}

ui::Row ArchivioViewController::rowAt(int section, int) const {
    static const DateFormat giornoOra("dd-MM-yyyy HH:mm");
    static const DateFormat giorno("dd-MM-yyyy");
    static const DateFormat ora("HH:mm");
    if (section < 0 || section >= numberOfSections()) return {};
    {
        const SceltaTestata& testata = listaScelte_[static_cast<std::size_t>(section)];
        const auto contate = righePerOrdine_.find(testata.id());
        const long long righe = contate == righePerOrdine_.end() ? 0 : contate->second;
        const auto creazione = testata.dataCreazione();
        ui::Label stato;
        switch (testata.status().value_or(-1)) {
        case stored(OrderStatus::Open): stato = ui::label("(Aperto)", ui::TextStyle::Bold, kBlu, 17); break;
        case stored(OrderStatus::Sent):
            if (auto inviato = testata.dataTrasmissione()) {
                const bool stessoGiorno = creazione && giorno.format(*creazione) == giorno.format(*inviato);
                stato = ui::label(format("Inviato %@", (stessoGiorno ? ora : giornoOra).format(*inviato)));
                if (inUscita_.count(testata.codice().value_or(-1))) stato.text += " (in uscita)";
            } else {
                stato = ui::label("(indef.)", ui::TextStyle::Normal, kRosso);
            }
            break;
        case stored(OrderStatus::Suspended):
            stato = ui::label(testata.flagDuplicato() ? "(Duplicato)" : "(Sospeso)", ui::TextStyle::Bold, kRosso, 17);
            break;
        default: break;
        }
        ui::Row row;
        row.items = {ui::label(testata.clienteRagioneSociale().value_or("")), ui::label(testata.cliente().value_or("")),
                     ui::label(format("Ord.%@", testata.codice())), ui::label(format("Righe %d", righe)),
                     ui::label(creazione ? format("del %@", giornoOra.format(*creazione)) : std::string("del ")), stato};
        // The name and the dated texts take the room; the date and the state shrink to fit a
        // narrow window rather than lose their ends.
        static constexpr int kParti[] = {4, 2, 1, 1, 3, 3};
        for (std::size_t i = 0; i < row.items.size() && i < std::size(kParti); ++i) {
            auto& parte = std::get<ui::Label>(row.items[i]);
            parte.share = kParti[i];
            if (i >= 4) parte.minimumPointSize = 9;
        }
        row.deletable = true;
        return row;
    }
}

void ArchivioViewController::aggiornaBadge(long long sospese) {
    ui().setBadge(kTab, sospese > 0 ? std::optional<std::string>(format("%d", sospese)) : std::nullopt);
}

void ArchivioViewController::viewWillAppear() {
    Log::line("Archivio viewWillAppear");
    caricaLista();
    aggiornaBadge(suspended(listaScelte_));
    redraw();
}

void ArchivioViewController::didSelectRow(int section, int) {
    if (section < 0 || section >= static_cast<int>(listaScelte_.size())) return;
    Log::f("Ordine selected %d", static_cast<long long>(section));
    const SceltaTestata testata = listaScelte_[static_cast<std::size_t>(section)];
    const auto status = orderStatusOf(testata);
    if (status == OrderStatus::Open || status == OrderStatus::Sent) {
        ui().push(*this, std::make_shared<RivediSceltaViewController>(ui(), testata.codice().value_or(0), session_));
        return;
    }
    if (status != OrderStatus::Suspended) return;
    // At most one order is open: the one order entry continues.
    if (std::any_of(listaScelte_.begin(), listaScelte_.end(),
                    [](const SceltaTestata& t) { return orderStatusOf(t) == OrderStatus::Open; })) {
        ui().showAlert(ui::Alert::simple("Attenzione", "Hai gia' un ordine aperto. Completalo o Sospendilo !", "Continua"));
        return;
    }
    auto database = store();
    if (!database) return;
    setOrderStatus(testata, OrderStatus::Open);
    try {
        database->commit();
    } catch (const StoreFailure&) {
        database->rollback();
        return;
    }
    aggiornaBadge(suspended(listaScelte_));
    redraw();
}

void ArchivioViewController::commitDeletion(int section, int) {
    if (section < 0 || section >= static_cast<int>(listaScelte_.size())) return;
    Log::f("Cancello Testata %d dall'array di %d", static_cast<long long>(section), static_cast<long long>(listaScelte_.size()));
    const SceltaTestata testata = listaScelte_[static_cast<std::size_t>(section)];
    if (orderStatusOf(testata) == OrderStatus::Open) {
        ui().showAlert(ui::Alert::simple("Attenzione", "Questo e' un ordine aperto. Completalo o Sospendilo !", "Continua"));
        return;
    }
    if (auto database = store()) database->deleteSceltaByTestata(testata);
    caricaLista();
    aggiornaBadge(suspended(listaScelte_));
    redraw();
}

}  // namespace torvane
