// Order entry in the Qt renderer (offscreen) on a generated catalogue loaded into a fresh
// store: a scan is "on screen" when it has been classified, looked up, priced and the screen
// redrawn and painted by the event loop. Article scans and colour scans are timed apart, median
// and p99, and every colour scan is checked to have ended with its price on the price row and
// no prompt or alert.
//   ScanToScreen [small|medium|large]   (default large)
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "BenchStats.h"
#include "CatalogueGenerator.h"
#include "MainWindow.h"
#include "NullLogSink.h"
#include "QtUi.h"
#include "RowDelegate.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"
#include "TableScreenWidget.h"
#include "loader/CaricatoreDatabase.h"
#include "order/InserimentoSceltaViewController.h"
#include "order/SceltaTableContent.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

using namespace torvane;
using namespace torvane::bench;

namespace {

constexpr int kScans = 1000;

// The Qt platform, counting what would interrupt the agent. A prompt is never held open: it
// would stop the benchmark until someone answered it.
class CountingUi final : public gui::QtUi {
public:
    void showAlert(ui::Alert alert, ui::AlertHandler onAnswer) override {
        ++alerts;
        gui::QtUi::showAlert(std::move(alert), std::move(onAnswer));
    }
    std::optional<ui::AlertAnswer> runModalPrompt(const ui::Alert&) override {
        ++prompts;
        return std::nullopt;
    }
    int alerts = 0, prompts = 0;
};

std::string number(int n, int width) {
    std::string text = std::to_string(n);
    return std::string(static_cast<std::size_t>(width) - text.size(), '0') + text;
}

std::vector<std::string> labelsOf(const ui::Row& row) {
    std::vector<std::string> texts;
    for (const ui::Item& item : row.items)
        if (const auto* label = std::get_if<ui::Label>(&item)) texts.push_back(label->text);
    return texts;
}

}  // namespace

int main(int argc, char** argv) {
    const CatalogueSize* size = catalogueSize(argc >= 2 ? argv[1] : "large");
    if (!size) {
        std::fprintf(stderr, "uso: %s [small|medium|large]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    auto folder = std::filesystem::temp_directory_path() / ("torvane-bench-scan-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    Paths::setRoot(folder.string());
    Preferences::resetStandard((folder / "prefs.json").string());
    Log::setSink(std::make_shared<NullLogSink>());

    auto start = Clock::now();
    auto db = Database::openFile((folder / "store.sqllite").string(), "01");
    if (!db) return 1;
    {
        CaricatoreDatabase loader;
        loader.setDatabase(db);
        loader.caricaXmlNamed("01.L1.xml", CatalogueGenerator::generate(*size), nullptr);
    }
    // The generator prices variant "V0" of every article in every list but gives its colours
    // variant "--": left so, every colour scan would ask for a price. Colours of variant V0
    // make each scan one an agent meets every day, a colour with a price.
    const int recoloured = db->connection()->execute("UPDATE \"Colore\" SET varianteCommerciale = 'V0'");
    db->commit();
    std::printf("catalogue %s generated and loaded in %.1f s; %d colours given variant V0\n", size->name,
                secondsSince(start), recoloured);

    // The generator's codes: articles "80" + 8 digits, colours article code + 3 digits.
    Preferences& preferences = Preferences::standard();
    preferences.setInteger(keys::pref_LENBARCODEARTICOLO, 10);
    preferences.setInteger(keys::pref_LENBARCODECOLORE, 12);
    preferences.setInteger(keys::pref_LENBARCODEARTSERIE, 16);
    preferences.setString(keys::pref_TIPOORDINE, "N");
    preferences.setString(keys::pref_agente, "AG01;");

    QApplication app(argc, argv);
    CountingUi ui;
    auto screen = std::make_shared<InserimentoSceltaViewController>(ui, CompanySession::over(db));
    ui.showTabs({{"SCELTA", "", screen}});
    ui.window().resize(800, 1000);
    ui.window().show();
    QApplication::processEvents();
    auto* widget = static_cast<gui::TableScreenWidget*>(ui.window().widgetFor(*screen));
    if (!widget) return 1;
    gui::ScreenTableModel& model = widget->table()->screenModel();

    // The client's own price list (L01 for every generated client).
    auto cliente = db->connection()->query("SELECT codice FROM \"Cliente\" ORDER BY id LIMIT 1");
    screen->impostaCliente(std::get<std::string>(cliente.at(0).at(0)));
    QApplication::processEvents();
    const bool listino = screen->getListinoCorrente().has_value();

    // Runs the event loop until the window has painted the redraw. The platform paces paints,
    // so the paint may come a few milliseconds after the change: that wait is part of what the
    // agent sees.
    const auto onScreen = [&] {
        const long long before = widget->table()->rowDelegate().paintedRows();
        QApplication::processEvents();
        const auto limit = Clock::now() + std::chrono::seconds(2);
        while (widget->table()->rowDelegate().paintedRows() == before && Clock::now() < limit) {
            QTimer::singleShot(50, [] {});  // wakes the wait below if nothing else does
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return widget->table()->rowDelegate().paintedRows() > before;
    };
    constexpr int kArticolo = SceltaTableContent::SezioneArticolo;
    Samples articleScans, colourScans;
    int articlesShown = 0, coloursPriced = 0, painted = 0;
    for (int s = 0; s < kScans; ++s) {
        // Articles spread over the catalogue, a different colour each time.
        const int article = (s * 7919) % size->articles + 1;
        const std::string barcode = "80" + number(article, 8);
        const std::string colour = "ART" + number(article, 6) + number(s % size->coloursPerArticle + 1, 3);

        articleScans.time([&] {
            screen->barcodeData(barcode, 0);
            painted += onScreen();
        });
        const auto& scelta = screen->scelta();
        if (scelta.articoloCorrente && scelta.articoloCorrente->codice() == "ART" + number(article, 6) &&
            model.rowCountIn(kArticolo) >= 2)
            ++articlesShown;

        colourScans.time([&] {
            screen->barcodeData(colour, 0);
            painted += onScreen();
        });
        // Priced: the colour is set and a price row of its variant shows a price.
        if (!scelta.coloreCorrente || scelta.coloreCorrente->barCode() != colour) continue;
        const std::string variante = scelta.coloreCorrente->varianteCommerciale().value_or("");
        for (int r = 1; r < model.rowCountIn(kArticolo); ++r) {
            const auto labels = labelsOf(*model.row({kArticolo, r}));
            if (labels.size() == 4 && labels[0] == variante && labels[3].find_first_of("123456789") != std::string::npos) {
                ++coloursPriced;
                break;
            }
        }
    }

    std::printf("%d article scans shown with their prices, %d of %d colour scans priced on screen; "
                "%d prompts, %d alerts; %d of %d scans painted\n",
                articlesShown, coloursPriced, kScans, ui.prompts, ui.alerts, painted, 2 * kScans);
    articleScans.print("article scan -> on screen");
    colourScans.print("colour scan -> priced, on screen");
    std::printf("target: p99 < 16000 us per scan\n");

    screen.reset();
    db.reset();
    std::filesystem::remove_all(folder);
    if (!listino || articlesShown != kScans || coloursPriced != kScans || painted != 2 * kScans || ui.prompts ||
        ui.alerts) {
        std::printf("FAILED: not every scan ended on screen with its price and without interruptions\n");
        return 1;
    }
    return 0;
}
