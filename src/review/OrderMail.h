#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mail/MailDraft.h"
#include "platform/IsoDate.h"

namespace torvane {

class Cliente;
class Database;
class PrivateTempFolder;
class SceltaTestata;

// The e-mail of an order, for the compose screen: to the client, copies to the company's
// addresses, the confirmation page as the body, and the signature, the client's photo, the
// documents and the order file attached. Every file it makes (reports, pictures) is written
// into a private folder that is gone when `compose` returns: the draft carries the bytes,
// so nothing of the order is left behind where others could read it.
class OrderMail {
public:
    explicit OrderMail(std::shared_ptr<Database> db);

    // `xmlPath`: the order document the sending already wrote. `now`: the day the subject
    // names when the order was never sent.
    MailDraft compose(const SceltaTestata& testata, const std::string& xmlPath, Timestamp now);

    // "Altro invio " once sent, "FIERA <name> - " in fair mode, the client's name, then "del"
    // with the sending time, or today's date.
    static std::string subject(const SceltaTestata& testata, const std::string& clientName, Timestamp now);
    // The company's copies: each address of at least 2 characters; the order-file address only
    // outside fair mode and before the order was first sent.
    static std::vector<std::string> copies(const SceltaTestata& testata);

private:
    void attachPicture(MailDraft& draft, const PrivateTempFolder* folder, const std::vector<unsigned char>& picture,
                       const std::string& prefix, const std::string& fileName) const;

    std::shared_ptr<Database> db_;
};

}  // namespace torvane
