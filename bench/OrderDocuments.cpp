// Builds a 1000-line order in a real store and times each of its four documents (the XML
// the office imports, the text, the PDF and the HTML confirmation). Targets: under 100 ms
// for the XML and the text, under 1 s for the PDF. The documents are left in the bench
// folder for a look.
#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchStats.h"
#include "ThousandLineOrder.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "review/ReportScelta.h"
#include "store/Database.h"

using namespace torvane;
using bench::Clock;

namespace {

constexpr int kRuns = 5;

template <typename F>
void timeDocument(const char* name, double targetMs, F&& build) {
    bench::Samples samples;
    for (int run = 0; run < kRuns; ++run) samples.time(build);
    samples.print(name);
    double median = samples.percentile(0.5) / 1000.0;
    if (targetMs > 0)
        std::printf("%-44s %.1f ms of %.0f ms target (%.2fx)\n", "", median, targetMs, median / targetMs);
}

}  // namespace

int main() {
    auto folder = std::filesystem::temp_directory_path() / "torvane-bench-documents";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    Paths::setRoot(folder.string());
    Preferences::resetStandard((folder / "prefs.json").string());
    Preferences::standard().setString(keys::pref_FOTOURL, "http://foto.example.com");
    Preferences::standard().setBool(keys::pref_REPORTHTMLCONFOTOENABLED, true);
    Preferences::standard().setString(keys::pref_REPORTHTMLCONPREZZIENABLED, "YES");
    Log::useCapture();  // keep the reports' lines (the whole XML among them) out of the figures

    auto db = Database::openFile((folder / "bench.sqllite").string(), "B");
    if (!db) return 1;
    auto start = Clock::now();
    SceltaTestata testata = bench::buildThousandLineOrder(*db);
    std::printf("order of %d lines built in %.0f ms (%s)\n", bench::kOrderLines, bench::secondsSince(start) * 1000,
                folder.c_str());

    ReportScelta reports(db);
    std::size_t htmlSize = 0;
    timeDocument("XML document (1000 lines)", 100,
                 [&] { reports.createReportXmlOrdine(testata, (folder / "Ordine.xml").string()); });
    timeDocument("text report (1000 lines)", 100,
                 [&] { reports.createReportTxtOrdine(testata, (folder / "Ordine.txt").string()); });
    timeDocument("PDF report (1000 lines)", 1000,
                 [&] { reports.createReportPdfOrdine(testata, (folder / "Ordine.pdf").string()); });
    timeDocument("HTML report (1000 lines)", 0, [&] { htmlSize = reports.createReportHtmlOrdine(testata)->size(); });
    std::printf("sizes: XML %ju bytes, text %ju bytes, PDF %ju bytes, HTML %zu bytes\n",
                static_cast<std::uintmax_t>(std::filesystem::file_size(folder / "Ordine.xml")),
                static_cast<std::uintmax_t>(std::filesystem::file_size(folder / "Ordine.txt")),
                static_cast<std::uintmax_t>(std::filesystem::file_size(folder / "Ordine.pdf")), htmlSize);
    db->rollback();  // the XML fills nil price-list fields in; leave the store as built
    return 0;
}
