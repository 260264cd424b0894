// `outbox`: the messages saved on this device to be sent later, listed or sent through the
// SMTP server of the preferences. A message leaves the outbox only once the server took it.
#include <iostream>

#include "CommandRegistry.h"
#include "mail/MailSettings.h"
#include "mail/Outbox.h"
#include "mail/SmtpSender.h"

namespace torvane::cli {
namespace {

constexpr const char* kUsage =
    "  outbox list|send             i messaggi salvati nella posta in uscita: elenco con stato\n"
    "                               e ultimo errore, o invio di tutti (anche dei rifiutati) al\n"
    "                               server SMTP (pref_SMTPSERVER); 1 se un invio non riesce\n";

int list(const Outbox& outbox) {
    const auto entries = outbox.list();
    if (entries.empty()) std::cout << "posta in uscita vuota\n";
    for (const OutboxEntry& entry : entries) {
        std::cout << entry.file << "  " << entry.to << "  " << entry.subject << "  "
                  << (entry.refused ? "rifiutato" : "in attesa");
        if (!entry.lastFailure.empty()) std::cout << ": " << entry.lastFailure;
        std::cout << '\n';
    }
    return 0;
}

int send(const Outbox& outbox) {
    auto smtp = MailSettings::smtp();
    if (!smtp) {
        std::cerr << "outbox send: nessun server SMTP impostato (pref_SMTPSERVER)\n";
        return 1;
    }
    const auto results = outbox.sendAll(SmtpSender(*smtp));
    if (results.empty()) std::cout << "posta in uscita vuota\n";
    bool allSent = true;
    for (const OutboxSendResult& result : results) {
        allSent = allSent && result.sent;
        std::cout << (result.file.empty() ? "outbox" : result.file) << ": " << (result.sent ? "inviato" : "non inviato")
                  << (result.reason.empty() ? "" : ": " + result.reason) << '\n';
    }
    return allSent ? 0 : 1;
}

int runOutbox(CommandLine& line) {
    if (auto option = line.unknownOption()) return CommandLine::usageError("outbox: opzione sconosciuta " + *option, kUsage);
    const auto words = line.arguments();
    const std::string verb = words.size() == 1 ? words[0] : "";
    if (verb != "list" && verb != "send") return CommandLine::usageError("outbox: serve list oppure send", kUsage);
    const Outbox outbox;
    return verb == "list" ? list(outbox) : send(outbox);
}

const CommandRegistration registration("outbox", kUsage, runOutbox);

}  // namespace
}  // namespace torvane::cli
