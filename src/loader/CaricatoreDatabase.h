#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "loader/LoadCounters.h"
#include "platform/Http.h"
#include "platform/ui/Alert.h"

namespace torvane {

class Database;
class ProgressView;

// One catalogue run: downloads the company's documents and loads each into the store.
// Created fresh for each run, run on a background thread, read by the caller afterwards.
class CaricatoreDatabase {
public:
    // Where a document comes from: a download, or bytes already at hand (a local file).
    struct DocumentSource {
        std::string address;  // shown in the log; the address downloaded when `fetch` is empty
        std::string name;     // the freshness marker's document name
        std::function<HttpResponse()> fetch;
        std::chrono::milliseconds timeout = Http::defaultTimeout;  // idle time a download may last
    };
    // Alerts the run shows ("Dati contenenti troppe Aziende", ...); called on the loader's thread.
    using AlertPresenter = std::function<void(const ui::Alert&)>;

    CaricatoreDatabase();

    // The whole run from the server preferences.
    void downloadWithProgressView(ProgressView* view);
    // A run over the given documents, in order.
    void downloadDocuments(const std::vector<DocumentSource>& documents, ProgressView* view);
    // Checks and loads one document.
    void caricaXmlNamed(const std::string& name, std::string_view data, ProgressView* view);
    void refreshProgressView(ProgressView* view, float done, float total) const;

    static DocumentSource urlSource(const std::string& url, std::chrono::milliseconds timeout = Http::defaultTimeout);

    // The store to load, the company session's; without one nothing is loaded.
    void setDatabase(std::shared_ptr<Database> db) { database_ = std::move(db); }
    void setAlertPresenter(AlertPresenter presenter) { alerts_ = std::move(presenter); }
    // The pause after each download (2 s by default; tests use 0).
    void setPauseAfterDownload(std::chrono::milliseconds pause) { pause_ = pause; }
    void setDownloadTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    int articoliCaricati() const { return counters_.articoli; }
    int coloriCaricati() const { return counters_.colori; }
    int listiniCaricati() const { return counters_.listini; }
    int prezziCaricati() const { return counters_.prezzi; }
    int clientiCaricati() const { return counters_.clienti; }
    int giacenzeCaricate() const { return counters_.giacenze; }
    int tagsCaricati() const { return counters_.tags; }
    int result() const { return result_; }
    double tempoImpiegato() const { return tempoImpiegato_; }
    long timeInMillis = 0;

private:
    struct Fetched;
    Fetched fetch(const DocumentSource& document, ProgressView* view, Database* db);
    void rememberVersion(const DocumentSource& document, const Fetched& fetched, Database* db);
    std::shared_ptr<Database> store() const;
    static std::string markerName(const std::string& document);
    void loadDocument(const std::string& name, std::string_view data, ProgressView* view, Database& db);
    void showAlert(const ui::Alert& alert) const;
    static void setLabel2(ProgressView* view, const std::string& text);

    LoadCounters counters_;
    int result_ = 0;
    // The last document checked is now the store's version: loaded whole, or found loaded before.
    bool documentCurrent_ = false;
    double tempoImpiegato_ = 0;

    std::shared_ptr<Database> database_;
    AlertPresenter alerts_;
    std::chrono::milliseconds pause_{2000};
    std::chrono::milliseconds timeout_ = Http::defaultTimeout;
};

}  // namespace torvane
