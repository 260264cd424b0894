#pragma once

#include <memory>
#include <optional>
#include <string>

#include "store/Entities.h"

namespace torvane {

class Database;

// The documents of one order: the XML the company's systems import and the three documents
// for people (text, PDF, HTML). Each kind is built by its own class; this is the one place
// review and transmission ask for them. A document never refuses an order: records missing
// from the store give empty fields or the codes in their place.
class ReportScelta {
public:
    explicit ReportScelta(std::shared_ptr<Database> db);

    // Each writes its file atomically; false when the file could not be written (the
    // transmission then attaches whatever the path holds, as before).
    bool createReportXmlOrdine(const SceltaTestata& testata, const std::string& filePath);
    bool createReportTxtOrdine(const SceltaTestata& testata, const std::string& filePath);
    bool createReportPdfOrdine(const SceltaTestata& testata, const std::string& filePath);
    // The confirmation page; none when a "LISTINOCAMBIATO" order has no price list on its lines.
    std::optional<std::string> createReportHtmlOrdine(const SceltaTestata& testata);

    // The code of a list picker's "[code] description" text; any other text unchanged.
    static std::string estraiCodiceFromDescrizione(const std::string& descrizione);
    // Right-aligns with copies of `pad` in front; a longer text comes back whole.
    static std::string stringByPaddingLeft(const std::optional<std::string>& text, std::size_t width,
                                           const std::string& pad);

private:
    std::shared_ptr<Database> db_;
};

}  // namespace torvane
