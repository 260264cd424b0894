#include <QApplication>

#include "MainWindow.h"
#include "QtUi.h"
#include "app/AppDelegate.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"

using namespace torvane;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Preferences::resetStandard(Paths::preferencesFile());
    gui::QtUi ui;
    AppDelegate delegate(ui);
    delegate.didFinishLaunching();
    ui.window().show();
    return app.exec();
}
