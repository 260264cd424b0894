#pragma once

#include <memory>
#include <string>

#include "photos/FotoCache.h"
#include "platform/CompanyCode.h"

namespace torvane {

class Database;

// Everything that belongs to the one active company: its checked code, its open store and its
// photos (the preferences are one set per device, not per company). Only the company switch
// makes one (and tools and tests their own); screens are given it when they are made, or told
// of a new one, and never look the company up anywhere else. Another company is another
// session: nothing of the old one is carried over.
class CompanySession {
public:
    // A session over a store already open (the company switch's, or a tool's, test's or
    // benchmark's own); none without a store or when the store's company code is not plain.
    // A new session should forget the photos that failed for an earlier one.
    static std::shared_ptr<CompanySession> over(std::shared_ptr<Database> store);

    CompanySession(CompanyCode code, std::shared_ptr<Database> store);

    const CompanyCode& code() const { return code_; }
    const std::shared_ptr<Database>& store() const { return store_; }

    // The company's photo folder, and the file of an article's thumbnail or full photo in it.
    std::string photoFolder() const { return FotoCache::folderFor(code_); }
    std::string photoFile(const std::string& codiceArticolo, FotoCache::Formato formato) const {
        return FotoCache::fileFoto(code_, codiceArticolo, formato);
    }
    // The downloads of missing photos: the device's few download threads, whose memory of what
    // failed each session starts afresh (files are named per company, so sessions never meet).
    FotoCache& photos() const { return FotoCache::shared(); }
    // After the photos were deleted: every photo is asked for again.
    void forgetPhotos() const;

private:
    CompanyCode code_;
    std::shared_ptr<Database> store_;
};

}  // namespace torvane
