// Opening the review of a 1000-line order (a third of them with four sizes) and the archive
// of 5000 orders, as a renderer opens them: every section's row count, then the rows of the
// first screenful. Median and p99 against the 100 ms target; the rows read are checked.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "BenchStats.h"
#include "BenchStore.h"
#include "platform/Format.h"
#include "platform/IsoDate.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "review/ArchivioViewController.h"
#include "review/RivediSceltaViewController.h"
#include "script/ScriptUi.h"
#include "session/CompanySession.h"
#include "store/Database.h"

using namespace torvane;

namespace {

constexpr int kLines = 1000, kOrders = 5000, kRuns = 15, kScreenful = 20;

// What a renderer reads on opening: the counts of every section, the rows of a screenful.
int open(ui::Screen& screen) {
    screen.viewWillAppear();
    int rows = 0, read = 0;
    for (int s = 0; s < screen.numberOfSections(); ++s) {
        const int n = screen.numberOfRows(s);
        rows += n;
        for (int r = 0; r < n && read < kScreenful; ++r, ++read) (void)screen.rowAt(s, r);
    }
    return rows;
}

}  // namespace

int main() {
    bench::BenchStore store("review");
    const auto& db = store.db();
    if (!db) return 1;
    auto cliente = db->createClienteWithBarCode("C000001");
    cliente->setCodice(std::string("C000001"));
    cliente->setRagioneSociale1(std::string("Lanificio di prova"));
    db->createListinoWithBarCode("L01", {{"um", std::string("MT")}, {"divisa", std::string("EUR")}});
    const std::string created = isoDateString(std::chrono::system_clock::now());
    for (int o = 1; o <= kOrders; ++o) {
        auto t = db->createSceltaTestataWithCodice(o, {{"cliente", std::string("C000001")},
                                                       {"clienteRagioneSociale", std::string("Lanificio di prova")},
                                                       {"listinoTestata", std::string("L01")},
                                                       {"status", static_cast<long long>(o == 1 ? 0 : 1 + o % 2)},
                                                       {"dataCreazione", created}});
        const int lines = o == 1 ? kLines : 3;
        for (int l = 0; l < lines; ++l) {
            auto r = db->createSceltaRigaForSceltaTestata(*t, {{"articolo", format("ART%04d", l % 300)},
                                                              {"colore", std::string("001")},
                                                              {"quantita", 2.0},
                                                              {"prezzo", std::string("12.50")}});
            if (o == 1 && l % 3 == 0)
                for (const char* taglia : {"S", "M", "L", "XL"})
                    db->createSceltaTagliaWithTaglia(taglia, *r, {{"quantita", 1LL}, {"prezzo", std::string("3.00")}});
        }
    }
    db->commit();
    const int sized = (kLines + 2) / 3;

    script::ScriptUi ui([](const std::string&) {});
    bench::Samples review, archive;
    int reviewRows = 0, archiveRows = 0;
    for (int run = 0; run < kRuns; ++run)
        review.time([&] {
            auto screen = std::make_shared<RivediSceltaViewController>(ui, 1, CompanySession::over(db));
            reviewRows = open(*screen);
        });
    for (int run = 0; run < kRuns; ++run)
        archive.time([&] {
            auto screen = std::make_shared<ArchivioViewController>(ui, CompanySession::over(db));
            archiveRows = open(*screen);
        });

    std::printf("review of a %d-line order (%d with sizes), archive of %d orders\n", kLines, sized, kOrders);
    review.print("review opened");
    archive.print("archive opened");
    const double r = review.percentile(0.5) / 1000.0, a = archive.percentile(0.5) / 1000.0;
    std::printf("review median %.1f ms, archive median %.1f ms (target under 100 ms each): %s\n", r, a,
                r < 100 && a < 100 ? "met" : "MISSED");
    // Line rows: one per plain line, 1 + 4 per sized line; then the summary (total), the
    // destination row and the two buttons.
    const int expectedReview = (kLines - sized) + sized * 5 + 1 + 1 + 2;
    std::printf("rows: review %d (expected %d), archive %d (expected %d)\n", reviewRows, expectedReview, archiveRows,
                kOrders);
    const bool ok = reviewRows == expectedReview && archiveRows == kOrders;
    if (!ok) std::printf("ROWS WRONG\n");
    return ok ? 0 : 1;
}
