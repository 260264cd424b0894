#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace torvane {

class Articolo;
class CompanyCode;
namespace ui {
class Ui;
}

// Where the photos a screen asked for are handed back: the screen's own, closed when the
// screen goes, so a download that ends later reaches nothing.
class FotoDestinatario {
public:
    using Arrived = std::function<void(const std::string& file)>;
    FotoDestinatario(ui::Ui& ui, Arrived arrived) : ui_(&ui), arrived_(std::move(arrived)) {}

    void chiudi();
    // From a download thread: `arrived` runs on the main thread, unless closed by then.
    void consegna(const std::string& file);

private:
    std::mutex mutex_;
    ui::Ui* ui_;
    Arrived arrived_;
};

// The photos of articles kept on the device: one folder per company under the documents
// folder, "<key>-SMALL.jpeg" and "<key>-LARGE.jpeg" in it. Screens only read the folder; what
// is missing they ask for, and a few threads of the cache's own download it with a short
// stall limit, so a server that never answers holds neither the screen nor the window. Only
// what decodes as a picture is kept; a location that failed is not asked again this session
// unless the download is forced; one file is never downloaded twice at once.
class FotoCache {
public:
    static constexpr int kMostDownloads = 3;
    static constexpr std::chrono::milliseconds kStallLimit{3000};

    static FotoCache& shared();
    ~FotoCache();

    enum class Formato { Miniatura, Grande };

    // "<documents>/FotoCache<company>": only a checked code names a folder, so it can never be
    // another one, or the documents folder itself, which the photo deletion would empty.
    static std::string folderFor(const CompanyCode& company);
    // The one place a photo's file is named: "<folder>/<key>-SMALL.jpeg" or "-LARGE.jpeg".
    static std::string fileFoto(const CompanyCode& company, const std::string& codiceArticolo, Formato formato);
    // The article code as a file name: blanks become "_"; letters, digits, "-" and "." (not
    // first) stay; any other byte, "_" and "%" included, is written "%XX". No two codes share
    // a name and none leaves the folder; a very long code is cut and given a digest.
    static std::string chiave(const std::string& codice);
    // A location that already holds "http://" or "https://" is used as it is; any other is
    // appended with "/" to `pref_FOTOURL`.
    static std::string remoteLocation(const std::string& stored);
    // The application's own picture shown while a photo is missing.
    static std::string sostituto();
    // `pref_forzaDownloadFotoEnabled`: download each time a photo is shown.
    static bool forzato();

    // The files of a company's thumbnail and full photo of an article.
    static std::string fileMiniatura(const CompanyCode& company, const Articolo& articolo);
    static std::string fileGrande(const CompanyCode& company, const Articolo& articolo);
    // The file when it is on disk (a look at the folder, nothing more).
    static std::optional<std::string> suDisco(const std::string& file);

    // Asks for the article's thumbnail, or full photo, for `to`: nothing when it is on disk and
    // not forced, has no location, failed earlier (not forced), or is already on its way.
    void chiediMiniatura(const CompanyCode& company, const Articolo& articolo, const std::shared_ptr<FotoDestinatario>& to);
    void chiediGrande(const CompanyCode& company, const Articolo& articolo, const std::shared_ptr<FotoDestinatario>& to);
    // Drops what `to` asked for and has not started, except the files in `keep`.
    void annulla(const FotoDestinatario* to, const std::set<std::string>& keep = {});

    // Drops every request, waits for the downloads under way and forgets this session (tests;
    // another company).
    void dimentica();
    // Forgets the locations that failed and the requests not started, without waiting: after
    // the photos are deleted, or another company becomes active, every photo is asked again.
    void ricomincia();
    // Requests waiting and downloads under way.
    int inAttesa();
    int inCorso();

private:
    struct Richiesta {
        std::string location, file;
        std::shared_ptr<FotoDestinatario> to;
    };
    FotoCache() = default;
    void chiedi(const std::string& location, const std::string& file, const std::shared_ptr<FotoDestinatario>& to);
    void lavora();
    static bool scarica(const Richiesta& richiesta);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Richiesta> coda_;
    std::set<std::string> inCorso_;   // files being downloaded
    std::set<std::string> falliti_;   // locations that failed this session
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

}  // namespace torvane
