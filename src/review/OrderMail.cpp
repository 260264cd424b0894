#include "review/OrderMail.h"

#include <chrono>
#include <cstdio>

#include "platform/DateFormat.h"
#include "platform/Log.h"
#include "platform/Picture.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/PrivateTempFolder.h"
#include "platform/AtomicFile.h"
#include "review/ReportScelta.h"
#include "store/Database.h"
#include "store/Entities.h"

namespace torvane {

namespace {

// Quality 1.0 of the platform's encoder: libjpeg's best.
constexpr int kJpegQuality = 100;

// Files are named after the current time in seconds with six decimals.
std::string timeName() {
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    char text[64];
    std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(micros / 1000000),
                  static_cast<long long>(micros % 1000000));
    return text;
}

// Whatever the file holds; empty when it cannot be read (a report that failed to write is
// attached as it is, as the order document always was).
std::string fileBytes(const std::string& path) { return readWholeFile(path).value_or(""); }

std::string preference(std::string_view key) { return Preferences::standard().stringForKey(key).value_or(""); }

bool hasText(const std::optional<std::string>& text) { return text && !text->empty(); }

}  // namespace

OrderMail::OrderMail(std::shared_ptr<Database> db) : db_(std::move(db)) {}

std::string OrderMail::subject(const SceltaTestata& testata, const std::string& clientName, Timestamp now) {
    const auto sent = testata.dataTrasmissione();
    std::string text = sent ? "Altro invio " : "";
    if (Preferences::standard().boolForKey(keys::pref_MODALITAFIERAENABLED))
        text += "FIERA " + preference(keys::pref_MANIFESTAZIONE) + " - ";
    text += clientName + " ";
    text += "del " + (sent ? DateFormat("dd-MM-yyyy HH:mm").format(*sent) : DateFormat("dd-MM-yyyy").format(now));
    return text;
}

std::vector<std::string> OrderMail::copies(const SceltaTestata& testata) {
    std::vector<std::string> cc;
    for (std::string_view key : {keys::pref_EMAILCC1, keys::pref_EMAILCC2})
        if (const std::string address = preference(key); address.size() >= 2) cc.push_back(address);
    const std::string xmlAddress = preference(keys::pref_EMAILXML);
    if (xmlAddress.size() >= 2 && !Preferences::standard().boolForKey(keys::pref_MODALITAFIERAENABLED) &&
        !testata.dataTrasmissione())
        cc.push_back(xmlAddress);
    return cc;
}

MailDraft OrderMail::compose(const SceltaTestata& testata, const std::string& xmlPath, Timestamp now) {
    Log::line("Invio la Mail ...");
    const Preferences& prefs = Preferences::standard();
    MailDraft draft;
    auto folder = PrivateTempFolder::create("posta");
    if (!folder) Log::line("Mail senza documenti: manca la cartella temporanea");

    ReportScelta reports(db_);
    std::optional<std::string> html;
    if (prefs.boolForKey(keys::pref_REPORTHTMLENABLED)) html = reports.createReportHtmlOrdine(testata);
    std::string textPath, pdfPath;
    if (folder && prefs.boolForKey(keys::pref_REPORTTXTENABLED)) {
        textPath = folder->file(timeName() + ".txt");
        reports.createReportTxtOrdine(testata, textPath);
    }
    if (folder && prefs.boolForKey(keys::pref_REPORTPDFENABLED)) {
        pdfPath = folder->file(timeName() + ".pdf");
        reports.createReportPdfOrdine(testata, pdfPath);
    }

    auto cliente = testata.cliente() ? db_->fetchClienteByCodice(*testata.cliente()) : std::nullopt;
    if (cliente && hasText(cliente->email())) draft.to.push_back(*cliente->email());
    draft.cc = copies(testata);
    // Without the client's record the order's own copy of the name stands in.
    const std::string clientName = cliente && cliente->ragioneSociale1() ? *cliente->ragioneSociale1()
                                                                          : testata.clienteRagioneSociale().value_or("");
    draft.subject = subject(testata, clientName, now);
    draft.codiceOrdine = testata.codice();
    if (hasText(html)) draft.htmlBody = std::move(html);
    else if (hasText(testata.note())) draft.textBody = testata.note();

    // The pictures' bytes are in memory: they go whatever the temporary folder does.
    if (auto firma = testata.firma(); firma && !firma->empty())
        attachPicture(draft, folder ? &*folder : nullptr, *firma, "firma_", "FirmaOrdine.jpg");
    if (auto foto = cliente ? cliente->foto() : std::nullopt; foto && !foto->empty())
        attachPicture(draft, folder ? &*folder : nullptr, *foto, "foto_", "FotoCliente.jpg");
    if (!pdfPath.empty()) draft.attachments.push_back({"Ordine.pdf", "application/pdf", fileBytes(pdfPath)});
    if (!textPath.empty()) draft.attachments.push_back({"Ordine.txt", "text/plain", fileBytes(textPath)});
    if (!testata.dataTrasmissione()) draft.attachments.push_back({"Ordine.xml", "text/plain", fileBytes(xmlPath)});
    return draft;
}

void OrderMail::attachPicture(MailDraft& draft, const PrivateTempFolder* folder, const std::vector<unsigned char>& picture,
                              const std::string& prefix, const std::string& fileName) const {
    auto jpeg = Picture::jpegFromBytes(picture, kJpegQuality);
    if (!jpeg) {
        Log::f("Immagine non leggibile, non allegata: %@", fileName);
        return;
    }
    std::string bytes(jpeg->begin(), jpeg->end());
    // Written as the documents are, then attached from what is in the draft.
    if (folder) folder->write(prefix + timeName() + ".jpg", bytes);
    draft.attachments.push_back({fileName, "image/jpeg", std::move(bytes)});
}

}  // namespace torvane
