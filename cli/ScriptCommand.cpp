// `script` and `shell`: the application's screens driven by commands instead of a window.
#include <unistd.h>

#include <fstream>
#include <iostream>

#include "CommandRegistry.h"
#include "StoreAccess.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "script/ScriptRunner.h"

namespace torvane::cli {
namespace {

constexpr const char* kScriptUsage =
    "  script [--company C] [--verbose] FILE|-\n"
    "                               esegue i comandi di FILE (- : standard input) sugli schermi\n";
constexpr const char* kShellUsage =
    "  shell [--company C] [--verbose]\n"
    "                               gli stessi comandi scritti a mano ('help' per l'elenco)\n";

void printOut(const std::string& line) { std::cout << line << '\n' << std::flush; }
void printErr(const std::string& line) { std::cerr << line << '\n' << std::flush; }

// What both commands share: the company for this run only and the log file.
void prepare(const std::optional<std::string>& company, bool verbose) {
    if (company) {
        Preferences::standard().setForThisRun(keys::pref_azienda, *company);
        Preferences::standard().setForThisRun(keys::pref_aziendaAttiva, *company);
    }
    // The screens' log lines go to a file beside the stores, unless asked for on the terminal.
    if (!verbose) Log::setSink(std::make_shared<FileLogSink>(Paths::ensure(Paths::documents()) + "/Script.log"));
}

int runScript(CommandLine& line) {
    const bool verbose = line.takeFlag("--verbose");
    auto company = takeCompany(line);
    if (line.error()) return CommandLine::usageError("script: " + *line.error(), kScriptUsage);
    if (auto option = line.unknownOption()) return CommandLine::usageError("script: opzione sconosciuta " + *option, kScriptUsage);
    const auto arguments = line.arguments();
    if (arguments.size() != 1) return CommandLine::usageError("script: serve un file (o - per lo standard input)", kScriptUsage);
    std::ifstream file;
    if (arguments[0] != "-") {
        file.open(arguments[0], std::ios::binary);
        if (!file) {
            std::cerr << "script: non riesco a leggere " << arguments[0] << '\n';
            return 2;
        }
    }
    prepare(company, verbose);
    script::StreamLineSource lines(arguments[0] == "-" ? std::cin : file);
    return script::ScriptRunner::runScript(lines, printOut, printErr);
}

int runShell(CommandLine& line) {
    const bool verbose = line.takeFlag("--verbose");
    auto company = takeCompany(line);
    if (auto problem = line.leftOver()) return CommandLine::usageError("shell: " + *problem, kShellUsage);
    prepare(company, verbose);
    const bool terminal = isatty(STDIN_FILENO);
    script::StreamLineSource lines(std::cin, [terminal] {
        if (terminal) std::cout << "torvane> " << std::flush;
    });
    return script::ScriptRunner::runShell(lines, printOut);
}

const CommandRegistration scriptRegistration("script", kScriptUsage, runScript);
const CommandRegistration shellRegistration("shell", kShellUsage, runShell);

}  // namespace
}  // namespace torvane::cli
