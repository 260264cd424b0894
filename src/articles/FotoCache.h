#pragma once

#include <string>

namespace torvane {

// The photos of articles kept on the device: one folder per company under the documents
// folder, so a company's photos can be removed without touching another's.
class FotoCache {
public:
    // "<documents>/FotoCache<company>".
    static std::string folderFor(const std::string& company);
};

}  // namespace torvane
