#include "review/ReportScelta.h"

#include "platform/Format.h"
#include "review/OrderHtmlReport.h"
#include "review/OrderPdfReport.h"
#include "review/OrderTextReport.h"
#include "review/OrderXmlReport.h"
#include "review/ReportText.h"
#include "store/Database.h"

namespace torvane {

ReportScelta::ReportScelta(std::shared_ptr<Database> db) : db_(std::move(db)) {}

bool ReportScelta::createReportXmlOrdine(const SceltaTestata& testata, const std::string& filePath) {
    return OrderXmlReport(*db_).write(testata, filePath);
}

bool ReportScelta::createReportTxtOrdine(const SceltaTestata& testata, const std::string& filePath) {
    return OrderTextReport(*db_).write(testata, filePath);
}

bool ReportScelta::createReportPdfOrdine(const SceltaTestata& testata, const std::string& filePath) {
    return OrderPdfReport(*db_).write(testata, filePath);
}

std::optional<std::string> ReportScelta::createReportHtmlOrdine(const SceltaTestata& testata) {
    return OrderHtmlReport(*db_).build(testata);
}

std::string ReportScelta::estraiCodiceFromDescrizione(const std::string& descrizione) {
    return codeOfText(descrizione);
}

std::string ReportScelta::stringByPaddingLeft(const std::optional<std::string>& text, std::size_t width,
                                              const std::string& pad) {
    return torvane::stringByPaddingLeft(text, width, pad);
}

}  // namespace torvane
