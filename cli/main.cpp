#include <iostream>
#include <string>

#include "CommandLine.h"
#include "DefaultsCommand.h"
#include "platform/Bundle.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"

using namespace torvane;

namespace {

void printHelp(std::ostream& out) {
    out << "torvane-cli " << Bundle::version() << " - Torvane senza interfaccia grafica\n\n"
        << "uso: torvane-cli [--data-dir CARTELLA] COMANDO ...\n\n"
        << "Comandi:\n"
        << cli::DefaultsCommand::usage()
        << "\nOpzioni:\n"
        << "  --data-dir CARTELLA  dati, preferenze e archivi sotto una sola cartella\n"
        << "                       (come la variabile TORVANE_HOME)\n"
        << "  --help               questo aiuto\n";
}

}  // namespace

int main(int argc, char** argv) {
    cli::CommandLine line(argc, argv);
    std::string type = line.takeOption("--type").value_or("");
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

    const std::string& command = line.words()[0];
    std::vector<std::string> rest(line.words().begin() + 1, line.words().end());
    if (command == "defaults")
        return cli::DefaultsCommand(Preferences::standard(), std::cout, std::cerr).run(rest, type);

    std::cerr << "comando sconosciuto: " << command << "\n\n";
    printHelp(std::cerr);
    return 2;
}
