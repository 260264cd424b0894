#include "photos/FotoCache.h"

#include <openssl/evp.h>

#include <algorithm>
#include <filesystem>

#include "platform/Bundle.h"
#include "platform/CompanyCode.h"
#include "platform/CurlOptions.h"
#include "platform/Format.h"
#include "platform/Http.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "platform/AtomicFile.h"
#include "store/Entities.h"

namespace torvane {

namespace {
namespace fs = std::filesystem;

constexpr char kHex[] = "0123456789ABCDEF";
// Keys longer than this are cut and given a digest: a file name has at most 255 bytes.
constexpr std::size_t kLongestKey = 160, kKeptOfLongKey = 100;

std::string digest(const std::string& text) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), out, &length, EVP_sha256(), nullptr);
    std::string hex;
    for (unsigned int i = 0; i < length && i < 16; ++i) hex += {kHex[out[i] >> 4], kHex[out[i] & 15]};
    return hex;
}
}  // namespace

void FotoDestinatario::chiudi() {
    std::lock_guard lock(mutex_);
    ui_ = nullptr;
}

void FotoDestinatario::consegna(const std::string& file) {
    std::lock_guard lock(mutex_);
    if (!ui_) return;
    ui_->postToMain([arrived = arrived_, file] {
        if (arrived) arrived(file);
    });
}

FotoCache& FotoCache::shared() {
    // The photo threads use libcurl and its TLS library, which clean up after themselves at
    // exit: set up first, they clean up last, after this cache has stopped its threads.
    initialiseCurlOnce();
    static FotoCache cache;
    return cache;
}

FotoCache::~FotoCache() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        coda_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

std::string FotoCache::folderFor(const CompanyCode& company) { return Paths::documents() + "/" + company.photoFolderName(); }

std::string FotoCache::fileFoto(const CompanyCode& company, const std::string& codiceArticolo, Formato formato) {
    return format(formato == Formato::Miniatura ? "%@/%@-SMALL.jpeg" : "%@/%@-LARGE.jpeg", folderFor(company),
                  chiave(codiceArticolo));
}

std::string FotoCache::chiave(const std::string& codice) {
    std::string key;
    for (std::size_t i = 0; i < codice.size(); ++i) {
        const auto u = static_cast<unsigned char>(codice[i]);
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
                           (u == '.' && i > 0);
        if (u == ' ') key += '_';
        else if (plain) key += static_cast<char>(u);
        else key += {'%', kHex[u >> 4], kHex[u & 15]};
    }
    if (key.size() <= kLongestKey) return key;
    // "~" is escaped everywhere else, so a cut key never meets a whole one.
    std::size_t cut = kKeptOfLongKey;
    while (cut > 0 && (key[cut - 1] == '%' || (cut > 1 && key[cut - 2] == '%'))) --cut;
    return key.substr(0, cut) + "~" + digest(codice);
}

std::string FotoCache::remoteLocation(const std::string& stored) {
    if (stored.find("http://") != std::string::npos || stored.find("https://") != std::string::npos) return stored;
    return format("%@/%@", Preferences::standard().stringForKey(keys::pref_FOTOURL).value_or(""), stored);
}

std::string FotoCache::sostituto() { return Bundle::resourcesDir() + "/magnifying_glass.png"; }

bool FotoCache::forzato() { return Preferences::standard().boolForKey(keys::pref_forzaDownloadFotoEnabled); }

std::string FotoCache::fileMiniatura(const CompanyCode& company, const Articolo& articolo) {
    return fileFoto(company, articolo.codice().value_or(""), Formato::Miniatura);
}

std::string FotoCache::fileGrande(const CompanyCode& company, const Articolo& articolo) {
    return fileFoto(company, articolo.codice().value_or(""), Formato::Grande);
}

std::optional<std::string> FotoCache::suDisco(const std::string& file) {
    std::error_code ec;
    if (fs::is_regular_file(file, ec)) return file;
    return std::nullopt;
}

void FotoCache::chiediMiniatura(const CompanyCode& company, const Articolo& articolo,
                                const std::shared_ptr<FotoDestinatario>& to) {
    std::string stored = articolo.fotoUrl().value_or("");
    // Forced downloads ask for the code's own thumbnail when the article names none.
    if (stored.empty() && forzato()) stored = format("%@-SMALL.JPG", articolo.codice().value_or(""));
    if (!stored.empty()) chiedi(remoteLocation(stored), fileMiniatura(company, articolo), to);
}

void FotoCache::chiediGrande(const CompanyCode& company, const Articolo& articolo,
                             const std::shared_ptr<FotoDestinatario>& to) {
    const std::string stored = articolo.fotoUrlZoom().value_or("");
    if (!stored.empty()) chiedi(remoteLocation(stored), fileGrande(company, articolo), to);
}

void FotoCache::chiedi(const std::string& location, const std::string& file, const std::shared_ptr<FotoDestinatario>& to) {
    const bool forced = forzato();
    if (!forced && suDisco(file)) return;
    std::lock_guard lock(mutex_);
    if (stopping_ || inCorso_.count(file)) return;
    if (!forced && falliti_.count(location)) return;
    if (std::any_of(coda_.begin(), coda_.end(), [&](const Richiesta& r) { return r.file == file; })) return;
    coda_.push_back({location, file, to});
    if (static_cast<int>(threads_.size()) < kMostDownloads && static_cast<int>(threads_.size()) < static_cast<int>(coda_.size() + inCorso_.size()))
        threads_.emplace_back([this] { lavora(); });
    changed_.notify_one();
}

void FotoCache::annulla(const FotoDestinatario* to, const std::set<std::string>& keep) {
    std::lock_guard lock(mutex_);
    std::erase_if(coda_, [&](const Richiesta& r) { return r.to.get() == to && !keep.count(r.file); });
}

void FotoCache::lavora() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !coda_.empty(); });
        if (stopping_) return;
        Richiesta richiesta = std::move(coda_.front());
        coda_.pop_front();
        inCorso_.insert(richiesta.file);
        lock.unlock();
        const bool kept = scarica(richiesta);
        lock.lock();
        // At exit nothing is handed back: the screens and their platform may be gone. A photo
        // counts as under way until it is handed back, so a wait for the downloads sees it.
        const bool handBack = kept && richiesta.to && !stopping_;
        lock.unlock();
        if (handBack) richiesta.to->consegna(richiesta.file);
        lock.lock();
        inCorso_.erase(richiesta.file);
        if (!kept) falliti_.insert(richiesta.location);
        changed_.notify_all();
    }
}

bool FotoCache::scarica(const Richiesta& richiesta) {
    Log::f("-- INIZIO Download foto: %@", richiesta.location);
    HttpResponse response = Http::get(richiesta.location, kStallLimit);
    Log::f("-- FINE   Download foto: %@", richiesta.location);
    // Only a picture is kept: an error page or broken bytes would stay the photo for good.
    if (!response.data || !Picture::decodedSize(*response.data)) {
        Log::line("Non ho image ...");
        return false;
    }
    const std::string folder = fs::path(richiesta.file).parent_path().string();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        if (fs::create_directories(folder, ec)) Log::f("Creata Cache Foto: %@", folder);
        else Log::f("Create directory error: %@", folder);
    }
    Log::line("Saving image ...");
    const bool written = writeFileAtomically(richiesta.file, *response.data);
    Log::line("             done");
    return written;
}

void FotoCache::dimentica() {
    std::unique_lock lock(mutex_);
    coda_.clear();
    changed_.wait(lock, [this] { return inCorso_.empty(); });
    falliti_.clear();
}

void FotoCache::ricomincia() {
    std::lock_guard lock(mutex_);
    coda_.clear();
    falliti_.clear();
}

int FotoCache::inAttesa() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(coda_.size());
}

int FotoCache::inCorso() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(inCorso_.size());
}

}  // namespace torvane
