#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "IncomingOrder.h"

namespace torvane::fiera {

enum class StoreOutcome {
    Stored,         // on disk under `name`
    AlreadyStored,  // the same bytes were stored before, as `name`: kept once
    NotXml,         // not a well-formed order document: not kept
    Failed,         // the disk refused: not kept
};

struct StoreResult {
    StoreOutcome outcome = StoreOutcome::Failed;
    std::string name;
};

struct StoredOrder {
    std::string name;
    std::chrono::system_clock::time_point received;
};

// The orders folder (D/ordini). An order is kept only whole: received into a temporary file,
// flushed, checked, then linked under its name, which never replaces another file, and the
// folder flushed, before anyone is told it is stored. Orders are known by their content
// digest, so the same bytes sent again (a retry after an answer was lost) are kept once.
class OrderInbox {
public:
    // The largest request body taken (the order and its few lines of form around it).
    static constexpr std::size_t maxBodySize = 20u * 1024u * 1024u;

    explicit OrderInbox(std::string folder);
    // Makes the folder (0700), removes what a stopped server left half-received, and reads
    // the digests of the orders already there. The reason in `error` when it cannot.
    bool open(std::string& error);

    std::unique_ptr<IncomingOrder> receive() const { return IncomingOrder::create(folder_); }
    StoreResult store(std::unique_ptr<IncomingOrder> incoming, const std::string& sentName);

    // The stored orders, most recent first.
    std::vector<StoredOrder> list() const;
    const std::string& folder() const { return folder_; }

private:
    enum class Placing { Placed, Taken, Refused };
    Placing place(IncomingOrder& incoming, const std::string& name);

    std::string folder_;
    std::mutex mutex_;
    std::map<std::string, std::string> byDigest_;  // digest -> stored name
    std::set<std::string> flushing_;                // placed, the folder not yet flushed
    std::condition_variable settled_;
};

}  // namespace torvane::fiera
