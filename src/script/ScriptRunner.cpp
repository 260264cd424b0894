#include "script/ScriptRunner.h"

#include <istream>

namespace torvane::script {

std::optional<std::string> StreamLineSource::next() {
    if (beforeRead_) beforeRead_();
    std::string line;
    if (!std::getline(in_, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++number_;
    return line;
}

namespace {
std::string problem(int line, const std::string& text, const CommandResult& result) {
    const char* kind = result.kind == CommandResult::Failed ? "attesa non soddisfatta" : "errore nello script";
    // The line is repeated cut short: it may be very long.
    std::string shown = text.size() > 200 ? text.substr(0, 200) + "..." : text;
    return "riga " + std::to_string(line) + ": " + kind + " (" + shown + "): " + result.message;
}
}  // namespace

int ScriptRunner::runScript(LineSource& lines, const Print& out, const Print& err, const Prepare& prepare) {
    ScriptSession session(out, lines, false);
    session.launch();
    const std::shared_ptr<void> prepared = prepare ? prepare(session) : nullptr;
    while (auto line = lines.next()) {
        const CommandResult result = session.runLine(*line);
        if (result.kind != CommandResult::Done) {
            err(problem(lines.number(), *line, result));
            return result.kind;
        }
    }
    const CommandResult end = session.finish();
    if (end.kind != CommandResult::Done) {
        err("riga " + std::to_string(lines.number()) + ": " + end.message);
        return end.kind;
    }
    return 0;
}

int ScriptRunner::runShell(LineSource& lines, const Print& out) {
    ScriptSession session(out, lines, true);
    session.launch();
    out("Torvane: scrivi i comandi, 'help' per l'elenco, Ctrl-D per uscire");
    while (auto line = lines.next()) {
        const CommandResult result = session.runLine(*line);
        if (result.kind != CommandResult::Done) out(result.message);
    }
    return 0;
}

}  // namespace torvane::script
