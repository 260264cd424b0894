#include <iostream>
#include <string>

#include "platform/CommandLine.h"
#include "CommandRegistry.h"
#include "platform/Bundle.h"
#include "platform/FileModes.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"

using namespace torvane;

namespace {

void printHelp(std::ostream& out) {
    out << "torvane-cli " << Bundle::version() << " - Torvane senza interfaccia grafica\n\n"
        << "uso: torvane-cli [--data-dir CARTELLA] COMANDO ...\n\n"
        << "Comandi:\n";
    for (const auto* command : cli::CommandRegistry::shared().commands()) out << command->usage;
    out << "\nOpzioni:\n"
        << "  --data-dir CARTELLA  dati, preferenze e archivi sotto una sola cartella\n"
        << "                       (come la variabile TORVANE_HOME)\n"
        << "  --help               questo aiuto\n";
}

}  // namespace

int main(int argc, char** argv) {
    FileModes::makeEverythingPrivate();
    CommandLine line(argc, argv);
    if (line.error()) {
        std::cerr << *line.error() << '\n';
        return 2;
    }
    if (line.wantsHelp()) {
        printHelp(std::cout);
        return 0;
    }
    if (line.words().empty()) {
        printHelp(std::cerr);
        return 2;
    }
    if (line.dataDir()) Paths::setRoot(*line.dataDir());
    Preferences::resetStandard(Paths::preferencesFile());

    const std::string name = line.words()[0];
    if (const auto* command = cli::CommandRegistry::shared().find(name)) return command->run(line);

    std::cerr << "comando sconosciuto: " << name << "\n\n";
    printHelp(std::cerr);
    return 2;
}
