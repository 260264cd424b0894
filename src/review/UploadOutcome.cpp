#include "review/UploadOutcome.h"

#include <exception>

#include "platform/Log.h"
#include "store/Database.h"
#include "store/OrderStatus.h"
#include "store/Entities.h"

namespace torvane {

UploadRecord UploadOutcome::apply(const SceltaTestata& testata, Database& database, const UploadResult& result,
                                  const std::function<void(const ui::Alert&)>& showAlert, Timestamp now) {
    if (!result.sent) {
        Log::f("Errore invio CC=%d", result.lastResult);
        if (showAlert) showAlert(ui::Alert::simple("Attenzione:", "Invio al PC Fiera non riuscito !!", "Continua"));
        return UploadRecord::NotSent;
    }
    Log::line("OK. Inviato !!");
    if (!testata.exists()) {
        Log::line("Ordine inviato al PC Fiera ma non piu' presente nel database");
        return UploadRecord::NotSaved;
    }
    const auto status = testata.status();
    const auto email = testata.emailTrasmissione();
    const auto data = testata.dataTrasmissione();
    setOrderStatus(testata, OrderStatus::Sent);
    testata.setEmailTrasmissione(std::string(sentText));
    if (!data) testata.setDataTrasmissione(now);
    try {
        database.commit();
        return UploadRecord::Sent;
    } catch (const std::exception&) {
        // Only this order's marks are put back: other pending changes wait for the next
        // commit as before. Sent again, the same document is kept once by the fair PC.
        testata.setStatus(status);
        testata.setEmailTrasmissione(email);
        testata.setDataTrasmissione(data);
        return UploadRecord::NotSaved;
    }
}

}  // namespace torvane
