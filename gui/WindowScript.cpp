#include "WindowScript.h"

#include <QApplication>
#include <QElapsedTimer>

#include <fstream>
#include <iostream>
#include <memory>

#include "MainWindow.h"
#include "ScreenWidget.h"
#include "script/ScriptRunner.h"

namespace torvane::gui {

namespace {

using script::CommandResult;

// Brings the window in line with the script's navigation and draws the screen in front afresh
// (the script's platform does not tell the window about redraws).
void draw(MainWindow& window, script::ScriptSession& session) {
    window.sync();
    if (ui::Screen* screen = session.ui().visible())
        if (ScreenWidget* widget = window.widgetFor(screen->outermost())) widget->refresh();
    QApplication::processEvents();
}

std::optional<CommandResult> windowCommand(MainWindow& window, script::ScriptSession& session,
                                           const std::vector<std::string>& words) {
    if (words.front() == "shot") {
        if (words.size() != 2) return CommandResult{CommandResult::ScriptError, "uso: shot FILE.png"};
        draw(window, session);
        QWidget* front = &window;
        if (ui::Screen* screen = session.ui().visible())
            if (ScreenWidget* widget = window.widgetFor(screen->outermost())) front = widget->window();
        if (!front->grab().save(QString::fromStdString(words[1])))
            return CommandResult{CommandResult::ScriptError, "non riesco a scrivere " + words[1]};
        return CommandResult{};
    }
    if (words.front() == "pause") {
        if (words.size() != 2) return CommandResult{CommandResult::ScriptError, "uso: pause MS"};
        const long long ms = std::atoll(words[1].c_str());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
        return CommandResult{};
    }
    return std::nullopt;
}

}  // namespace

int WindowScript::run(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "non riesco a leggere " << path << '\n';
        return 2;
    }
    script::StreamLineSource lines(in);
    const auto out = [](const std::string& line) { std::cout << line << std::endl; };
    const auto err = [](const std::string& line) { std::cerr << line << std::endl; };
    return script::ScriptRunner::runScript(lines, out, err, [](script::ScriptSession& session) {
        // Gone before the session: the window mirrors the session's navigation.
        auto window = std::make_shared<MainWindow>(session.ui().navigation());
        window->resize(1024, 768);
        window->show();
        MainWindow* shown = window.get();
        draw(*shown, session);
        session.setAfterCommand([shown, &session] { draw(*shown, session); });
        session.setExtraCommands([shown, &session](const std::vector<std::string>& words) {
            return windowCommand(*shown, session, words);
        });
        return std::shared_ptr<void>(window);
    });
}

}  // namespace torvane::gui
