#include "script/ScriptSession.h"

#include "app/AppDelegate.h"
#include "devices/SledScanner.h"
#include "devices/TestScannerSource.h"
#include "script/ScriptCommands.h"
#include "script/ScriptWords.h"

namespace torvane::script {

ScriptSession::ScriptSession(Print print, LineSource& lines, bool promptsAskAgain)
    : print_(std::move(print)), lines_(lines), promptsAskAgain_(promptsAskAgain), ui_(print_) {
    ui_.setPromptAnswerer([this](const ui::Alert& alert) { return answerPrompt(alert); });
}

ScriptSession::~ScriptSession() {
    // The sled outlives the session: it must not post to this Ui once it is gone.
    SledScanner::sharedDevice().setSource(nullptr);
    delegate_.reset();
}

void ScriptSession::launch() {
    delegate_ = std::make_unique<AppDelegate>(ui_);
    delegate_->didFinishLaunching();
    // The sled reads the script's scans: `scan` feeds this source.
    auto source = std::make_unique<TestScannerSource>();
    scanner_ = source.get();
    SledScanner& sled = SledScanner::sharedDevice();
    sled.setUi(ui_);
    sled.setSource(std::move(source));
    if (ui_.visible() && ui_.visible() == delegate_->sceltaController.get()) sled.connect();
    ui_.settle();
}

CommandResult ScriptSession::runLine(const std::string& line) {
    ScriptWords split = ScriptWords::split(line);
    if (split.error) return {CommandResult::ScriptError, *split.error};
    if (split.words.empty()) return {};
    return run(split.words);
}

CommandResult ScriptSession::run(const std::vector<std::string>& words) {
    if (extra_)
        if (auto done = extra_(words)) return *done;
    const ScriptCommand* command = findScriptCommand(words.front());
    if (!command) {
        const std::string& name = words.front();
        const std::string shown = name.size() > 60 ? name.substr(0, 60) + "..." : name;
        return {CommandResult::ScriptError, "comando sconosciuto: " + shown + " (help: i comandi)"};
    }
    const std::vector<std::string> arguments(words.begin() + 1, words.end());
    const int count = static_cast<int>(arguments.size());
    if (count < command->minArguments || (command->maxArguments >= 0 && count > command->maxArguments))
        return {CommandResult::ScriptError, "uso: " + command->name + " " + command->arguments};
    promptError_.reset();
    CommandResult result;
    try {
        if (command->isAction) {
            closeOpenAlerts();
            ui_.forgetLastAlert();
        }
        result = command->run(*this, arguments);
        ui_.settle();
        ui_.showFirstRows();
    } catch (const ScriptFault& fault) {
        result = {CommandResult::ScriptError, fault.what()};
    } catch (const std::exception& unexpected) {
        result = {CommandResult::ScriptError, std::string("errore interno: ") + unexpected.what()};
    }
    if (promptError_ && result.kind == CommandResult::Done) result = {CommandResult::ScriptError, *promptError_};
    if (afterCommand_) afterCommand_();
    return result;
}

CommandResult ScriptSession::finish() {
    ui_.settle();
    if (ui_.hasOpenAlert())
        return {CommandResult::ScriptError, "lo script finisce con un avviso senza risposta: " +
                                                 ScriptUi::describe(ui_.oldestAlert())};
    return {};
}

void ScriptSession::closeOpenAlerts() {
    while (ui_.hasOpenAlert()) {
        const ui::Alert& alert = ui_.oldestAlert();
        const std::string button = alert.buttons.empty() ? "(nessun pulsante)" : alert.buttons.front();
        print_("(avviso chiuso con " + button + ")");
        ui_.answerOldest(ui::AlertAnswer{});
        ui_.settle();
    }
}

// A blocking prompt holds the screen until the next line answers it.
std::optional<ui::AlertAnswer> ScriptSession::answerPrompt(const ui::Alert& alert) {
    for (;;) {
        auto line = lines_.next();
        if (!line) {
            promptError_ = "lo script finisce mentre un avviso attende la risposta";
            return std::nullopt;
        }
        ScriptWords split = ScriptWords::split(*line);
        std::string problem;
        if (split.error) {
            problem = *split.error;
        } else if (split.words.empty()) {
            continue;
        } else if (split.words.front() != "answer" || split.words.size() < 2) {
            problem = "l'avviso attende 'answer PULSANTE [CAMPO...]', non: " + split.words.front();
        } else {
            try {
                return alertAnswer(alert, {split.words.begin() + 1, split.words.end()});
            } catch (const ScriptFault& fault) {
                problem = fault.what();
            }
        }
        if (!promptsAskAgain_) {
            promptError_ = problem;
            return std::nullopt;
        }
        print_(problem);
    }
}

}  // namespace torvane::script
