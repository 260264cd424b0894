#include <QApplication>
#include <memory>

#include "MainWindow.h"
#include "QtUi.h"
#include "platform/ui/EmptyScreen.h"

using namespace torvane;
using ui::EmptyScreen;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gui::QtUi ui;
    ui.showTabs({{"SCELTA", "coat-hanger", std::make_shared<EmptyScreen>(ui, "SCELTA")},
                 {"Archivio", "database", std::make_shared<EmptyScreen>(ui, "Archivio")},
                 {"IMPOSTAZIONI", "gear", std::make_shared<EmptyScreen>(ui, "IMPOSTAZIONI")}});
    ui.window().show();
    return app.exec();
}
