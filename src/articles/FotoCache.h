#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace torvane {

class Articolo;
namespace ui {
class Ui;
}

// The photos of articles kept on the device: one folder per company under the documents
// folder, "<key>-SMALL.jpeg" and "<key>-LARGE.jpeg" in it. A photo missing from the folder is
// downloaded in the background (at most four at once) while the substitute picture shows;
// only what decodes as a picture is kept, and a location that failed is not asked again in
// this session, so an agent offline at a fair never waits on the list.
class FotoCache {
public:
    static constexpr int kMostDownloads = 4;

    static FotoCache& shared();

    // "<documents>/FotoCache<company>".
    static std::string folderFor(const std::string& company);
    // The article code as a file name: blanks become "_"; any character other than letters,
    // digits, "-", "_" and "." becomes "_" too, and a key never starts with ".", so no code
    // can name a file outside the folder.
    static std::string chiave(const std::string& codice);
    // A location that already holds "http://" or "https://" is used as it is; any other is
    // appended with "/" to `pref_FOTOURL`.
    static std::string remoteLocation(const std::string& stored);
    // The application's own picture shown while a photo is missing.
    static std::string sostituto();

    // The file of the article's thumbnail, or of its full photo, when it is on disk; else none,
    // and a download starts (once per location this session); `arrived` runs on the main thread
    // once the photo is in the folder.
    std::optional<std::string> miniatura(ui::Ui& ui, const Articolo& articolo, std::function<void()> arrived);
    std::optional<std::string> fotoGrande(ui::Ui& ui, const Articolo& articolo, std::function<void()> arrived);

    // Forgets what this session tried (tests; another company).
    void dimentica();

private:
    struct Richiesta {
        std::string location, file;
        std::function<void()> arrived;
    };
    std::optional<std::string> immagine(ui::Ui& ui, const std::string& file, const std::string& location,
                                        std::function<void()> arrived);
    void avvia(ui::Ui& ui);

    std::set<std::string> tentati_;   // locations asked this session
    std::set<std::string> scaricati_;  // files written this session (kept even when forced)
    std::deque<Richiesta> coda_;
    int inCorso_ = 0;
};

}  // namespace torvane
