// Order entry on a benchmark catalogue loaded into a fresh store:
//   scan-to-ready: an article scan then a colour scan (article, price-list row, prices and
//                  colour looked up), and
//   confirmation:  the checks, the line written with its resolved price, and the commit,
// each timed per call, median and 99th percentile, beside a durable commit by itself. One
// article in a hundred has colours whose variant no price names: their scans ask for the price,
// which the bench types, and those prompts are counted. Every line must be written with the
// price it resolves to (the list's, or the typed one), or the run fails.
//   OrderEntry [small|medium|large]   (default large)
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "BenchStats.h"
#include "CatalogueGenerator.h"
#include "NullLogSink.h"
#include "loader/CaricatoreDatabase.h"
#include "order/InserimentoSceltaViewController.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

using namespace torvane;
using namespace torvane::bench;

namespace {

// A platform that shows nothing and answers nothing: only the order entry's own work is timed.
class QuietUi final : public ui::Ui {
public:
    void showAlert(ui::Alert, ui::AlertHandler) override { ++alerts; }
    std::optional<ui::AlertAnswer> runModalPrompt(const ui::Alert&) override {
        ++prompts;
        return ui::AlertAnswer{0, {kTypedPrice}, 0};
    }
    static constexpr const char* kTypedPrice = "7,25";
    void showTabs(std::vector<ui::Tab>) override {}
    void selectTab(int) override {}
    void push(ui::Screen&, std::shared_ptr<ui::Screen>) override {}
    void pop(ui::Screen&) override {}
    void presentModal(ui::Screen&, std::shared_ptr<ui::Screen>) override {}
    void dismissModal(ui::Screen&) override {}
    void setBadge(int, std::optional<std::string>) override {}
    void reload(ui::Screen&) override {}
    void scrollTo(ui::Screen&, ui::IndexPath, ui::ScrollPosition) override {}
    void focusField(ui::Screen&, int) override {}
    void endEditing(ui::Screen&) override {}
    ui::TimerId startTimer(std::chrono::milliseconds, std::function<void()>) override { return 0; }
    void cancelTimer(ui::TimerId) override {}
    void postToMain(std::function<void()>) override {}
    void playSound(ui::Sound) override {}
    void setKeepAwake(bool) override {}
    int alerts = 0;
    int prompts = 0;
};

std::string number(int n, int width) {
    std::string text = std::to_string(n);
    return std::string(static_cast<std::size_t>(width) - text.size(), '0') + text;
}

// Articles sold by size, added beside the generated catalogue: barcode "90" + 8 digits, a
// size group of three sizes, three colour roots with a colour per size, priced in L01.
constexpr int kSizedArticles = 100;
constexpr const char* kSizes[] = {"S", "M", "L"};
constexpr const char* kRoots[] = {"10", "20", "30"};
constexpr const char* kSizePrice = "12.50";

std::string sizedBarcode(int n) { return "90" + number(n, 8); }

void addSizedArticles(Database& db) {
    auto gruppo = *db.createTagliaGruppoWithCodice("TGB");
    for (const char* size : kSizes) db.createTagliaDettaglioWithCodice(size, gruppo);
    auto listino = *db.fetchListinoByBarCode("L01");
    for (int n = 1; n <= kSizedArticles; ++n) {
        const std::string codice = "SZ" + number(n, 6);
        auto articolo = *db.createArticoloWithBarCode(sizedBarcode(n), {{"codice", codice}, {"tagliaGruppo", std::string("TGB")}});
        for (const char* root : kRoots)
            for (const char* size : kSizes)
                db.createColoreWithBarCode(codice + root + size, articolo,
                                           {{"codice", std::string(root) + "/" + size},
                                            {"varianteCommerciale", std::string("V0")}});
        auto entry = *db.createArticoloListinoWithArticolo(codice, listino);
        db.createPrezzoWithVarianteCommerciale("V0", entry, {{"valore", std::string(kSizePrice)}});
    }
}

}  // namespace

int main(int argc, char** argv) {
    const CatalogueSize* size = catalogueSize(argc >= 2 ? argv[1] : "large");
    if (!size) {
        std::fprintf(stderr, "uso: %s [small|medium|large]\n", argv[0]);
        return 2;
    }
    auto folder = std::filesystem::temp_directory_path() / ("torvane-bench-order-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    Paths::setRoot(folder.string());
    Preferences::resetStandard((folder / "prefs.json").string());
    Log::setSink(std::make_shared<NullLogSink>());

    auto start = Clock::now();
    auto db = Database::openFile((folder / "store.sqllite").string(), "01");
    {
        CaricatoreDatabase loader;
        loader.setDatabase(db);
        loader.caricaXmlNamed("01.L1.xml", CatalogueGenerator::generate(*size), nullptr);
    }
    std::printf("catalogue %s generated and loaded in %.1f s\n", size->name, secondsSince(start));
    // The generated colours carry the variant "--", which no price names: every colour scan
    // would open the price prompt and no line would be priced. They take "V0", the variant
    // every generated article has a price for, so each scan is priced as in a real catalogue.
    db->connection()->execute("UPDATE \"Colore\" SET varianteCommerciale = 'V0'");
    // One article in a hundred of those the order takes keeps a variant without a price.
    const int lines = 1000;
    std::set<int> unpriced;
    for (int p = 0; p < lines; p += 100) unpriced.insert((p * 7 + 1) % size->articles + 1);
    for (int article : unpriced)
        db->connection()->execute("UPDATE \"Colore\" SET varianteCommerciale = 'VX' WHERE articolo = "
                                  "(SELECT id FROM \"Articolo\" WHERE codice = ?)",
                                  {"ART" + number(article, 6)});
    addSizedArticles(*db);
    db->commit();

    // The generator's codes: articles "80" + 8 digits, colours article code + 3 digits.
    Preferences& preferences = Preferences::standard();
    preferences.setInteger(keys::pref_LENBARCODEARTICOLO, 10);
    preferences.setInteger(keys::pref_LENBARCODECOLORE, 12);
    preferences.setInteger(keys::pref_LENBARCODEARTSERIE, 16);
    preferences.setString(keys::pref_TIPOORDINE, "N");
    preferences.setString(keys::pref_agente, "AG01;");

    QuietUi ui;
    auto screen = std::make_shared<InserimentoSceltaViewController>(ui, CompanySession::over(db));
    auto cliente = db->connection()->query("SELECT codice FROM \"Cliente\" ORDER BY id LIMIT 1");
    screen->impostaCliente(std::get<std::string>(cliente.at(0).at(0)));
    screen->impostaListino("L01");

    Samples ready;
    Samples confirm;
    long long unpricedLines = 0;
    for (int p = 0; p < lines; ++p) {
        // The articles priced in L01, as the generator spreads them.
        const int article = (p * 7 + 1) % size->articles + 1;
        if (unpriced.count(article)) ++unpricedLines;
        const std::string barcode = "80" + number(article, 8);
        const std::string colour = "ART" + number(article, 6) + number(p % size->coloursPerArticle + 1, 3);
        ready.time([&] {
            screen->barcodeData(barcode, 0);
            screen->barcodeData(colour, 0);
        });
        screen->impostaQuantita("3");
        confirm.time([&] { screen->confirmTapped(); });
    }
    // Size lines: the article scan builds its grid, the agent sets a quantity on every size of
    // every root, and the confirmation writes one line per root with its sizes.
    Samples sizedReady;
    Samples sizedConfirm;
    for (int n = 1; n <= kSizedArticles; ++n) {
        sizedReady.time([&] { screen->barcodeData(sizedBarcode(n), 0); });
        const auto& articolo = screen->scelta().articoloCorrente;
        for (const ColoreSxBarra& radice : articolo ? articolo->coloriSxbarra() : std::vector<ColoreSxBarra>{})
            for (TempSceltaTaglia riga : radice.tempSceltaTaglie()) riga.setQuantita(2);
        sizedConfirm.time([&] { screen->confirmTapped(); });
    }
    // What a durable commit costs on this disk by itself: one parameter row changed and committed.
    Samples commit;
    auto parametro = db->createParametroWithAttributo("BENCH_commit");
    db->commit();
    for (int i = 0; i < lines; ++i) {
        commit.time([&] {
            parametro->setValore(std::to_string(i));
            db->commit();
        });
    }
    // The price each line resolves to: its list's price for its article and variant.
    const auto priced = db->connection()->query(
        "SELECT COUNT(*) FROM \"SceltaRiga\" r WHERE CAST(r.prezzo AS REAL) > 0 AND CAST(r.prezzo AS REAL) = "
        "(SELECT CAST(p.valore AS REAL) FROM \"Prezzo\" p JOIN \"ArticoloListino\" al ON p.articoloListino = al.id "
        "JOIN \"Listino\" l ON al.listino = l.id WHERE l.barCode = r.listino AND al.articolo = r.articolo AND "
        "p.varianteCommerciale = r.varianteCommerciale)");
    const auto typed = db->connection()->query(
        "SELECT COUNT(*) FROM \"SceltaRiga\" WHERE varianteCommerciale = 'VX' AND CAST(prezzo AS REAL) = 7.25");
    const long long pricedLines = std::get<long long>(priced.at(0).at(0));
    const long long typedLines = std::get<long long>(typed.at(0).at(0));
    std::printf("order of %d lines, %lld with their resolved price; %zu unpriced articles, %d price prompts, "
                "%lld lines at the typed price; %d alerts\n",
                lines, pricedLines, unpriced.size(), ui.prompts, typedLines, ui.alerts);
    const bool plainDone = pricedLines == lines && ui.prompts == static_cast<int>(unpriced.size()) &&
                            typedLines == unpricedLines;
    const auto sizeLines = db->connection()->query(
        "SELECT COUNT(DISTINCT r.id), COUNT(t.id), SUM(CAST(t.prezzo AS REAL) = CAST(? AS REAL)) FROM \"SceltaRiga\" r "
        "JOIN \"SceltaTaglia\" t ON t.sceltaRiga = r.id WHERE r.articolo LIKE 'SZ%'",
        {std::string(kSizePrice)});
    const long long sizedLines = std::get<long long>(sizeLines.at(0).at(0));
    const long long sizeRows = std::get<long long>(sizeLines.at(0).at(1));
    const long long pricedSizes = std::get<long long>(sizeLines.at(0).at(2));
    const long long expectedLines = kSizedArticles * static_cast<long long>(std::size(kRoots));
    const long long expectedSizes = expectedLines * static_cast<long long>(std::size(kSizes));
    std::printf("size lines: %lld of %lld written, %lld of %lld sizes at their price\n", sizedLines, expectedLines,
                pricedSizes, expectedSizes);
    const bool didTheWork = plainDone && sizedLines == expectedLines && sizeRows == expectedSizes &&
                            pricedSizes == expectedSizes;
    if (!didTheWork) std::printf("the benchmark did not do the work it times: every line must have its price\n");
    ready.print("scan-to-ready (article + colour scan)");
    confirm.print("confirmation (write + commit)");
    sizedReady.print("size line: scan-to-ready (article, grid)");
    sizedConfirm.print("size line: confirmation (3 roots x 3 sizes)");
    commit.print("floor: one changed row + durable commit");
    std::printf("confirmation / floor: median %.2f, p99 %.2f; size lines: median %.2f, p99 %.2f\n",
                confirm.percentile(0.5) / commit.percentile(0.5), confirm.percentile(0.99) / commit.percentile(0.99),
                sizedConfirm.percentile(0.5) / commit.percentile(0.5),
                sizedConfirm.percentile(0.99) / commit.percentile(0.99));
    std::printf("target: p99 < 2000 us each\n");
    screen.reset();
    db.reset();
    std::filesystem::remove_all(folder);
    return didTheWork ? 0 : 1;
}
