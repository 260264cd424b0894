#include <QApplication>
#include <memory>

#include "MainWindow.h"
#include "QtUi.h"
#include "platform/ui/Screen.h"

using namespace torvane;

namespace {
// An empty table screen that stands in for a tab until its real screen exists.
class EmptyScreen : public ui::Screen {
public:
    EmptyScreen(ui::Ui& ui, std::string title) : Screen(ui) { setTitle(std::move(title)); }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gui::QtUi ui;
    ui.showTabs({{"SCELTA", "coat-hanger", std::make_shared<EmptyScreen>(ui, "SCELTA")},
                 {"Archivio", "database", std::make_shared<EmptyScreen>(ui, "Archivio")},
                 {"IMPOSTAZIONI", "gear", std::make_shared<EmptyScreen>(ui, "IMPOSTAZIONI")}});
    ui.window().show();
    return app.exec();
}
