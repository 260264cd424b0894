// `export`: writes one document of a stored order (the XML the office imports, or the text,
// PDF or HTML the customer receives) to a file or to standard output, so an order can be
// checked or resent without the application.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "CommandRegistry.h"
#include "StoreAccess.h"
#include "platform/Paths.h"
#include "platform/AtomicFile.h"
#include "review/ReportScelta.h"
#include "store/Database.h"

namespace torvane::cli {
namespace {

constexpr const char* kUsage =
    "  export --order N --format xml|txt|pdf|html [--out FILE] [--company AZIENDA]\n"
    "                               scrive un documento dell'ordine N (senza --out: sull'uscita)\n";

bool copyToStandardOutput(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) std::cout.write(buffer, static_cast<std::streamsize>(n));
    std::fclose(file);
    std::cout.flush();
    return static_cast<bool>(std::cout);
}

// Writes the document to `path`; false when the report could not be written.
bool writeDocument(ReportScelta& reports, const SceltaTestata& testata, const std::string& kind,
                   const std::string& path) {
    if (kind == "xml") return reports.createReportXmlOrdine(testata, path);
    if (kind == "txt") return reports.createReportTxtOrdine(testata, path);
    if (kind == "pdf") return reports.createReportPdfOrdine(testata, path);
    auto html = reports.createReportHtmlOrdine(testata);
    if (!html) {
        std::cerr << "export: nessun listino trovato per l'ordine, nessun documento HTML\n";
        return false;
    }
    return writeFileAtomically(path, *html);
}

int runExport(CommandLine& line) {
    auto number = line.takeNumber("--order", 0, LLONG_MAX);
    auto kind = line.takeOption("--format");
    auto out = line.takeOption("--out");
    auto company = takeCompany(line);
    // Checked before the store is opened, so a mistyped command creates no store.
    if (auto problem = line.leftOver()) return CommandLine::usageError("export: " + *problem, kUsage);
    if (!number || !kind || (*kind != "xml" && *kind != "txt" && *kind != "pdf" && *kind != "html") ||
        (out && out->empty()))
        return CommandLine::usageError("export: servono --order N e --format xml|txt|pdf|html", kUsage);
    auto db = openSharedStore(company, StoreUse::ReadOnly);
    if (!db) return 1;
    auto testata = db->fetchSceltaTestataByCodice(*number);
    if (!testata) {
        std::cerr << "export: ordine " << *number << " non trovato\n";
        return 1;
    }

    ReportScelta reports(db);
    if (out) {
        if (!writeDocument(reports, *testata, *kind, *out)) {
            std::cerr << "export: non riesco a scrivere " << *out << '\n';
            return 1;
        }
        return 0;
    }
    std::string temporary = Paths::ensure(Paths::temporary()) + "/export-" + std::to_string(*number) + "." + *kind;
    bool written = writeDocument(reports, *testata, *kind, temporary) && copyToStandardOutput(temporary);
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    if (!written) {
        std::cerr << "export: documento non scritto\n";
        return 1;
    }
    return 0;
}

const CommandRegistration registration("export", kUsage, runExport);

}  // namespace
}  // namespace torvane::cli
