#include "loader/CaricatoreDatabase.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <exception>
#include <thread>

#include "loader/DocumentDownload.h"
#include "loader/DocumentUrls.h"
#include "loader/LoaderNumbers.h"
#include "loader/ProgressView.h"
#include "loader/SectionLoader.h"
#include "loader/StoredValidators.h"
#include "loader/xml/XmlCatalogueReader.h"
#include "platform/Log.h"
#include "platform/NumberFormat.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreFailure.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

double secondsSince1970() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

// What a failure says, with the store's own cause when it is the store's (another program
// holding it, a full disk), which its short reason leaves out.
std::string causeOf(const std::exception& failure) {
    if (const auto* store = dynamic_cast<const StoreFailure*>(&failure))
        return store->details().empty() ? store->reason() : store->reason() + ": " + store->details();
    return failure.what();
}

// Load mode for the span of one document, left whatever happens.
class LoadMode {
public:
    explicit LoadMode(Database& db) : db_(db) {
        db_.setDoLock(true);
        db_.setDoCommit(false);
    }
    ~LoadMode() {
        db_.setDoLock(true);
        db_.setDoCommit(true);
    }
    LoadMode(const LoadMode&) = delete;
    LoadMode& operator=(const LoadMode&) = delete;

private:
    Database& db_;
};

// The sections load in the store's bulk mode (batch commits skip the wait for the disk);
// whatever happens the store leaves it before the load's last commit, which then makes the
// whole load durable.
// A failed load's pending batch is dropped before that switch, which would commit it.
class BulkLoading {
public:
    explicit BulkLoading(Database& db) : db_(db), exceptions_(std::uncaught_exceptions()) {
        db_.connection()->setBulkLoading(true);
    }
    ~BulkLoading() {
        try {
            if (std::uncaught_exceptions() > exceptions_) db_.rollback();
            db_.connection()->setBulkLoading(false);
        } catch (const std::exception& failure) {
            Log::f("ErrorWhileLoading : %@", failure.what());
        }
    }
    BulkLoading(const BulkLoading&) = delete;
    BulkLoading& operator=(const BulkLoading&) = delete;

private:
    Database& db_;
    int exceptions_;
};

}  // namespace

CaricatoreDatabase::CaricatoreDatabase() = default;

void CaricatoreDatabase::showAlert(const ui::Alert& alert) const {
    if (alerts_) alerts_(alert);
}

void CaricatoreDatabase::setLabel2(ProgressView* view, const std::string& text) {
    if (view) view->setLabel2Activity(text);
}

void CaricatoreDatabase::refreshProgressView(ProgressView* view, float done, float total) const {
    if (view) view->updateProgressBar(total > 0 ? done / total : 0.0f);
}

CaricatoreDatabase::DocumentSource CaricatoreDatabase::urlSource(const std::string& url,
                                                                 std::chrono::milliseconds timeout) {
    return {url, DocumentUrls::lastPathComponent(url), {}, timeout};
}

// What a document's fetch gave: its bytes, the word that the loaded version is still current,
// or why neither.
struct CaricatoreDatabase::Fetched {
    std::optional<std::string> data;
    std::string error;
    bool unchanged = false;
    std::optional<DocumentValidators> validators;
};

std::shared_ptr<Database> CaricatoreDatabase::store() const { return database_; }

// Stored markers keep their names (a missing user reads "(null)" in them), so documents loaded
// before are not taken for new.
std::string CaricatoreDatabase::markerName(const std::string& document) {
    return format("SYSTEM_%@_%@", Preferences::standard().stringForKey(keys::pref_user), document);
}

CaricatoreDatabase::Fetched CaricatoreDatabase::fetch(const DocumentSource& document, ProgressView* view, Database* db) {
    if (document.fetch) {
        HttpResponse response = document.fetch();
        return {std::move(response.data), response.error, false, std::nullopt};
    }
    // The server is asked whether the version in the store changed, when the store still holds
    // the version those validators describe.
    std::optional<DocumentValidators> loaded;
    if (db && !db->filePath().empty())
        if (auto marker = db->fetchParametroByAttributo(markerName(document.name)))
            loaded = StoredValidators(db->filePath()).find(document.address, marker->valore().value_or(""));
    DocumentDownload download(document.address, document.timeout);
    if (view)
        download.setProgress([view, last = std::chrono::steady_clock::time_point()](const HttpProgress& progress) mutable {
            auto now = std::chrono::steady_clock::now();
            if (now - last < std::chrono::milliseconds(250) && progress.received != progress.total) return;
            last = now;
            view->updateDownload(progress);
        });
    DocumentDownload::Result result = download.run(loaded);
    if (result.resumed) Log::f("Download ripreso: %@", document.address);
    switch (result.kind) {
    case DocumentDownload::Result::Kind::Unchanged:
        return {std::nullopt, {}, true, result.validators};
    case DocumentDownload::Result::Kind::Downloaded:
        return {std::move(result.bytes), {}, false, result.validators};
    default:
        return {std::nullopt, result.error, false, std::nullopt};
    }
}

// A document loaded whole (or found already loaded) leaves its version beside the store for the
// next run's question; any other outcome forgets it, so the next run downloads it whole.
void CaricatoreDatabase::rememberVersion(const DocumentSource& document, const Fetched& fetched, Database* db) {
    if (document.fetch || !db || db->filePath().empty()) return;
    StoredValidators stored(db->filePath());
    auto marker = result_ == 0 && documentCurrent_ && fetched.validators
                      ? db->fetchParametroByAttributo(markerName(document.name))
                      : std::nullopt;
    if (marker)
        stored.remember(document.address, *fetched.validators, marker->valore().value_or(""));
    else
        stored.forget(document.address);
}

void CaricatoreDatabase::downloadWithProgressView(ProgressView* view) {
    auto list = DocumentUrls::fromPreferences();
    if (list.refusal) {
        showAlert(ui::Alert::simple(std::nullopt, *list.refusal, "Continua"));
        return;
    }
    std::vector<DocumentSource> documents;
    for (const auto& url : list.urls) documents.push_back(urlSource(url, timeout_));
    downloadDocuments(documents, view);
}

void CaricatoreDatabase::downloadDocuments(const std::vector<DocumentSource>& documents, ProgressView* view) {
    Log::line("=== Inizio   caricamento");
    timeInMillis = static_cast<long>(secondsSince1970());
    static const NumberFormat seconds("#,##0.00");
    // A step that fails is not undone by a later good one: the agent must hear that part of
    // the catalogue is missing, so the run keeps the first failure.
    int firstFailure = 0;
    int n = static_cast<int>(documents.size());
    for (int i = 1; i <= n; ++i) {
        const DocumentSource& document = documents[i - 1];
        if (view) {
            view->setLabel1Activity(format("Step %d di %d", i, n));
            view->setLabel2Activity("Downloading ...");
        }
        refreshProgressView(view, 0, 1);
        result_ = 0;
        try {
            Log::f("   **INIZIO**   Download %d/%d XML da %@", i, n, document.address);
            auto started = std::chrono::steady_clock::now();
            std::shared_ptr<Database> db = store();
            Fetched response = fetch(document, view, db.get());
            double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            Log::f("   ** FINE **   Download %d/%d XML in %f sec.", i, n, elapsed);
            setLabel2(view, format("Downloaded in %@ sec.", seconds.format(elapsed)));
            refreshProgressView(view, 0, 1);
            Log::line("sleeping ...");
            if (pause_.count() > 0) std::this_thread::sleep_for(pause_);
            if (response.unchanged) {
                Log::f("Documento %@ NON scaricato: il server lo da' per invariato", document.name);
                setLabel2(view, "Dati non aggiornati. Questi li ho gia' caricati ...");
                if (counters_.tags == 0) counters_.tags = -1;
            } else if (!response.data) {
                Log::f("Errore durante il caricamento dati: %@", response.error);
                result_ = 1;
            } else if (response.data->empty()) {
                Log::line("Errore dati inesistenti (ZERO bytes)");
                result_ = 3;
            } else {
                Log::line("Parsing XML ...");
                caricaXmlNamed(document.name, *response.data, view);
                rememberVersion(document, response, db.get());
            }
        } catch (const std::exception& failure) {
            Log::f("ErrorWhileLoading : %@", failure.what());
            result_ = 2;
            setLabel2(view, format("Errore Download: %@", failure.what()));
        }
        if (result_ != 0 && firstFailure == 0) firstFailure = result_;
    }
    tempoImpiegato_ = std::round(secondsSince1970() - static_cast<double>(timeInMillis));
    Log::f("=== Fine     caricamento. Tempo in secs.:%.0f", tempoImpiegato_);
    result_ = firstFailure;
}

void CaricatoreDatabase::caricaXmlNamed(const std::string& name, std::string_view data, ProgressView* view) {
    std::shared_ptr<Database> db = store();
    if (!db) {
        Log::line("ErrorWhileLoading : Database non disponibile");
        result_ = 2;
        setLabel2(view, "Errore Download: Database non disponibile");
        return;
    }
    documentCurrent_ = false;
    LoadMode mode(*db);
    try {
        loadDocument(name, data, view, *db);
    } catch (const std::exception& failure) {
        // What was committed stays; what was pending of the failed batch goes, and the log of
        // the failed batches gives its space back (a full disk must not stay full).
        db->rollback();
        db->connection()->checkpointAndTruncate();
        const std::string cause = causeOf(failure);
        Log::f("ErrorWhileLoading : %@", cause);
        result_ = 2;
        setLabel2(view, format("Errore Download: %@", cause));
    }
}

void CaricatoreDatabase::loadDocument(const std::string& name, std::string_view data, ProgressView* view,
                                      Database& db) {
    XmlCatalogueReader reader(data);
    auto envelope = reader.read();
    if (!envelope) {
        Log::f("Errore durante il parsing XML: %@", envelope.error().message);
        result_ = 3;
        return;
    }
    bool ours = envelope->rootName == "TorvaneMobile";
    long long total = ours && envelope->numeroElement ? LoaderNumbers::leadingInteger(*envelope->numeroElement) : 0;
    Log::f("Numero TAG nel documento XML %d", total);
    if (total <= 0) {
        result_ = 3;
        return;
    }
    std::optional<std::string> timestamp = ours ? envelope->timestamp : std::nullopt;
    Log::f("Controllo Timestamp del documento XML %@", timestamp);

    // The whole document is one writer's work: the write lock is taken before anything is read,
    // so another program loading at the same time makes this one wait, or fail saying so.
    db.connection()->beginWriting();
    auto marker = db.fetchParametroByAttributo(markerName(name));
    if (!marker) {
        marker = db.createParametroWithAttributo(markerName(name));
        if (!marker) throw std::runtime_error("controllo di aggiornamento del documento " + name + " non creato");
        marker->setValore(std::string());
    }
    if (!timestamp) {
        Log::f("Documento %@ elaborato perche' il Timestamp non c'e' (ma ci dovrebbe essere) !!", name);
        timestamp = std::string();
    } else {
        std::string stored = marker->valore().value_or("");
        if (!(*timestamp > stored)) {
            Log::f("Documento %@ NON elaborato perche' il Timestamp (%@ = %@) non e' aggiornato !", name, *timestamp,
                   stored);
            setLabel2(view, "Dati non aggiornati. Questi li ho gia' caricati ...");
            if (counters_.tags == 0) counters_.tags = -1;
            db.commit();
            documentCurrent_ = true;
            return;
        }
        Log::f("Documento %@ elaborato perche' il Timestamp (%@) e' piu' giovane (ultimo caricato : %@) !!!", name,
               *timestamp, stored);
    }

    if (!ours || envelope->aziendaCount == 0) {
        db.commit();
        return;
    }
    if (envelope->aziendaCount > 1) {
        Log::f("ERRORE: Ci sono %d TAG <Azienda>", envelope->aziendaCount);
        showAlert(ui::Alert::simple("Attenzione !!!", "Dati contenenti troppe Aziende", "OK"));
        db.commit();
        return;
    }
    Log::f("Azienda Codice: %@", envelope->codice);
    setLabel2(view, "Caricamento XML ...");
    refreshProgressView(view, 0, static_cast<float>(total));

    {
        BulkLoading bulk(db);
        SectionLoader sections(*this, counters_, db, view, static_cast<double>(total));
        sections.load(reader, envelope->sections);
    }

    // The marker moves only once the whole document is in: a load that fails half-way is
    // tried again at the next run instead of being taken for done.
    marker->setValore(*timestamp);
    db.commit();
    result_ = 0;
    documentCurrent_ = true;
}

}  // namespace torvane
