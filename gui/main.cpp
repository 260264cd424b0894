#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <QWindow>

#include <iostream>
#include <memory>

#include "KeyboardWedge.h"
#include "MainWindow.h"
#include "QtUi.h"
#include "WindowScript.h"
#include "app/AppDelegate.h"
#include "mail/MailSettings.h"
#include "mail/OutboxSender.h"
#include "platform/Bundle.h"
#include "platform/CommandLine.h"
#include "platform/FileModes.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"

using namespace torvane;

namespace {
const char* const kUsage =
    "  torvane [--data-dir CARTELLA] [--tab N] [--script FILE] [--screenshot FILE]\n"
    "  --data-dir CARTELLA  dati, preferenze e archivi sotto una sola cartella\n"
    "                       (come la variabile TORVANE_HOME)\n"
    "  --tab N              parte dalla scheda N (0 SCELTA, 1 Archivio, 2 IMPOSTAZIONI)\n"
    "  --script FILE        i comandi degli script eseguiti sulla finestra\n"
    "  --screenshot FILE    salva un'immagine della finestra appena pronta ed esce\n"
    "  --help               questo aiuto\n";
}  // namespace

int main(int argc, char** argv) {
    FileModes::makeEverythingPrivate();
    // The help needs no display; everything else is read after the toolkit has taken its own
    // options (-platform ...) out of the line.
    if (CommandLine(argc, argv, CommandLine::Words::OptionsOnly).wantsHelp()) {
        std::cout << "uso:\n" << kUsage;
        return 0;
    }
    QApplication app(argc, argv);
    CommandLine line(argc, argv, CommandLine::Words::OptionsOnly);
    const auto tab = line.takeNumber("--tab", 0, 2);
    const auto script = line.takeOption("--script");
    // `--screenshot FILE`: saves a picture of the window once it has settled, then quits. With
    // the offscreen platform it shows what a person would see on a machine without a display.
    const auto screenshot = line.takeOption("--screenshot");
    if (auto problem = line.leftOver()) return CommandLine::usageError(*problem, kUsage);
    if (line.dataDir()) Paths::setRoot(*line.dataDir());
    QGuiApplication::setDesktopFileName("torvane");
    app.setWindowIcon(QIcon(QString::fromStdString(Bundle::resourcePath("torvane.png"))));
    Preferences::resetStandard(Paths::preferencesFile());
    // `--script FILE`: the script runner's commands with the screens drawn in the window.
    if (script) return gui::WindowScript::run(*script);
    gui::QtUi ui;
    AppDelegate delegate(ui);
    delegate.didFinishLaunching();
    // The outbox leaves by itself while the window is open.
    OutboxSender outboxSender;
    outboxSender.drainNow(MailSettings::smtp());
    // A scanner in keyboard mode may type anywhere in the window; its device settings are
    // read once, at start, like the serial scanners'.
    gui::KeyboardWedge wedge(gui::KeyboardWedge::Settings::fromPreferences());
    app.installEventFilter(&wedge);
    ui.window().show();
    // Coming back to the window after it was minimised is coming back to the application:
    // a deletion request or another company set meanwhile takes effect.
    if (QWindow* window = ui.window().windowHandle()) {
        auto previous = std::make_shared<Qt::WindowState>(window->windowState());
        QObject::connect(window, &QWindow::windowStateChanged, [&delegate, previous](Qt::WindowState state) {
            if (*previous == Qt::WindowMinimized && state != Qt::WindowMinimized) delegate.applicationWillEnterForeground();
            *previous = state;
        });
    }
    if (tab) ui.selectTab(static_cast<int>(*tab));
    if (screenshot) {
        QTimer::singleShot(500, &app, [&ui, path = *screenshot] {
            if (!ui.window().grab().save(QString::fromStdString(path))) {
                std::cerr << "non riesco a scrivere " << path << '\n';
                QApplication::exit(1);
                return;
            }
            QApplication::quit();
        });
    }
    return app.exec();
}
