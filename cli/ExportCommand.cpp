// `export`: writes one document of a stored order (the XML the office imports, or the text,
// PDF or HTML the customer receives) to a file or to standard output, so an order can be
// checked or resent without the application.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "CommandRegistry.h"
#include "StoreAccess.h"
#include "platform/Paths.h"
#include "review/AtomicFile.h"
#include "review/ReportScelta.h"
#include "store/Database.h"

namespace torvane::cli {
namespace {

constexpr const char* kUsage =
    "  export --order N --format xml|txt|pdf|html [--out FILE] [--company AZIENDA]\n"
    "                               scrive un documento dell'ordine N (senza --out: sull'uscita)\n";

std::optional<long long> orderNumber(const std::string& text) {
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

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
    auto order = line.takeOption("--order");
    auto kind = line.takeOption("--format");
    auto out = line.takeOption("--out");
    auto number = order ? orderNumber(*order) : std::nullopt;
    if (line.error() || !number || !kind || (*kind != "xml" && *kind != "txt" && *kind != "pdf" && *kind != "html") ||
        (out && out->empty())) {
        if (line.error()) std::cerr << *line.error() << '\n';
        std::cerr << "uso:\n" << kUsage;
        return 2;
    }
    // Checked before the store is opened, so a mistyped command creates no store.
    auto db = openSharedStore(line);
    if (line.error()) {
        std::cerr << *line.error() << '\n';
        return 2;
    }
    if (line.words().size() > 1) {
        std::cerr << "export: argomento inatteso " << line.words()[1] << "\nuso:\n" << kUsage;
        return 2;
    }
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
