#pragma once

#include <functional>

#include "platform/IsoDate.h"
#include "platform/ui/Alert.h"
#include "review/OrderUpload.h"

namespace torvane {

class Database;
class SceltaTestata;

// What an upload's end did to the order.
enum class UploadRecord {
    Sent,          // marked sent and committed
    NotSent,       // every attempt failed; the order is unchanged and can be sent again
    NotSaved,      // it reached the fair PC but the store refused the commit; left unsent
};

// Applies the end of the attempts to the order header. Main thread, after the attempts:
// the store and the screens are touched only here.
class UploadOutcome {
public:
    static constexpr const char* sentText = "Inviato a HTTP Server Fiera";

    // Sent: `status` 1, `emailTrasmissione` "Inviato a HTTP Server Fiera", `dataTrasmissione`
    // `now` unless set, commit. Not sent: the alert goes to `showAlert`, the order stays.
    static UploadRecord apply(const SceltaTestata& testata, Database& database, const UploadResult& result,
                              const std::function<void(const ui::Alert&)>& showAlert, Timestamp now);
};

}  // namespace torvane
