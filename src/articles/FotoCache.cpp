#include "articles/FotoCache.h"

#include <filesystem>

#include "platform/Bundle.h"
#include "platform/Format.h"
#include "platform/Http.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "review/AtomicFile.h"
#include "store/Entities.h"

namespace torvane {

namespace {
namespace fs = std::filesystem;

std::string company() { return Preferences::standard().stringForKey(keys::pref_aziendaAttiva).value_or(""); }
bool forced() { return Preferences::standard().boolForKey(keys::pref_forzaDownloadFotoEnabled); }
}  // namespace

FotoCache& FotoCache::shared() {
    static FotoCache cache;
    return cache;
}

std::string FotoCache::folderFor(const std::string& company) { return Paths::documents() + "/FotoCache" + company; }

std::string FotoCache::chiave(const std::string& codice) {
    std::string key;
    for (char c : codice) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '-' ||
                           c == '_' || c == '.';
        key += plain ? c : '_';
    }
    if (key.empty() || key[0] == '.') key.insert(key.begin(), '_');
    return key;
}

std::string FotoCache::remoteLocation(const std::string& stored) {
    if (stored.find("http://") != std::string::npos || stored.find("https://") != std::string::npos) return stored;
    return format("%@/%@", Preferences::standard().stringForKey(keys::pref_FOTOURL).value_or(""), stored);
}

std::string FotoCache::sostituto() { return Bundle::resourcesDir() + "/magnifying_glass.png"; }

std::optional<std::string> FotoCache::miniatura(ui::Ui& ui, const Articolo& articolo, std::function<void()> arrived) {
    const std::string codice = articolo.codice().value_or("");
    std::string stored = articolo.fotoUrl().value_or("");
    // Forced downloads ask for the code's own thumbnail when the article names none.
    if (stored.empty() && forced()) stored = format("%@-SMALL.JPG", codice);
    const std::string file = format("%@/%@-SMALL.jpeg", folderFor(company()), chiave(codice));
    return immagine(ui, file, stored.empty() ? std::string() : remoteLocation(stored), std::move(arrived));
}

std::optional<std::string> FotoCache::fotoGrande(ui::Ui& ui, const Articolo& articolo, std::function<void()> arrived) {
    const std::string codice = articolo.codice().value_or("");
    const std::string stored = articolo.fotoUrlZoom().value_or("");
    const std::string file = format("%@/%@-LARGE.jpeg", folderFor(company()), chiave(codice));
    Log::f("Path foto: %@", file);
    return immagine(ui, file, stored.empty() ? std::string() : remoteLocation(stored), std::move(arrived));
}

std::optional<std::string> FotoCache::immagine(ui::Ui& ui, const std::string& file, const std::string& location,
                                               std::function<void()> arrived) {
    std::error_code ec;
    const bool onDisk = fs::is_regular_file(file, ec);
    // Forced: the file of an earlier session is not trusted, one written in this session is.
    if (onDisk && (!forced() || scaricati_.count(file))) return file;
    if (location.empty() || !tentati_.insert(location).second) return std::nullopt;
    coda_.push_back({location, file, std::move(arrived)});
    avvia(ui);
    return std::nullopt;
}

void FotoCache::avvia(ui::Ui& ui) {
    while (inCorso_ < kMostDownloads && !coda_.empty()) {
        Richiesta richiesta = std::move(coda_.front());
        coda_.pop_front();
        ++inCorso_;
        ui::Ui* platform = &ui;
        ui.runInBackground([platform, richiesta = std::move(richiesta)] {
            Log::f("-- INIZIO Download foto: %@", richiesta.location);
            HttpResponse response = Http::get(richiesta.location);
            Log::f("-- FINE   Download foto: %@", richiesta.location);
            bool kept = false;
            // Only a picture is kept: an error page or broken bytes would stay the photo for good.
            if (response.data && Picture::decodedSize(*response.data)) {
                const std::string folder = fs::path(richiesta.file).parent_path().string();
                std::error_code ec;
                if (!fs::is_directory(folder, ec)) {
                    if (fs::create_directories(folder, ec)) Log::f("Creata Cache Foto: %@", folder);
                    else Log::f("Create directory error: %@", folder);
                }
                Log::line("Saving image ...");
                kept = writeFileAtomically(richiesta.file, *response.data);
                Log::line("             done");
            } else {
                Log::line("Non ho image ...");
            }
            platform->postToMain([platform, kept, file = richiesta.file, arrived = richiesta.arrived] {
                FotoCache& cache = FotoCache::shared();
                --cache.inCorso_;
                if (kept) cache.scaricati_.insert(file);
                if (kept && arrived) arrived();
                cache.avvia(*platform);
            });
        });
    }
}

void FotoCache::dimentica() {
    tentati_.clear();
    scaricati_.clear();
}

}  // namespace torvane
