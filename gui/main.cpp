#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <cstring>
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
#include "platform/FileModes.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"

using namespace torvane;

namespace {
// `--screenshot FILE`: saves a picture of the window once it has settled, then quits. With the
// offscreen platform it shows what a person would see on a machine without a display.
const char* optionValue(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    return nullptr;
}
}  // namespace

int main(int argc, char** argv) {
    FileModes::makeEverythingPrivate();
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName("torvane");
    app.setWindowIcon(QIcon(QString::fromStdString(Bundle::resourcePath("torvane.png"))));
    Preferences::resetStandard(Paths::preferencesFile());
    // `--script FILE`: the script runner's commands with the screens drawn in the window.
    if (const char* script = optionValue(argc, argv, "--script")) return gui::WindowScript::run(script);
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
    // `--tab N` starts on another tab (0 order entry, 1 archive, 2 settings).
    if (const char* tab = optionValue(argc, argv, "--tab")) ui.selectTab(std::atoi(tab));
    if (const char* path = optionValue(argc, argv, "--screenshot")) {
        QTimer::singleShot(500, &app, [&ui, path] {
            if (!ui.window().grab().save(QString::fromUtf8(path))) {
                std::cerr << "non riesco a scrivere " << path << '\n';
                QApplication::exit(1);
                return;
            }
            QApplication::quit();
        });
    }
    return app.exec();
}
