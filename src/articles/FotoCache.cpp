#include "articles/FotoCache.h"

#include "platform/Paths.h"

namespace torvane {

std::string FotoCache::folderFor(const std::string& company) { return Paths::documents() + "/FotoCache" + company; }

}  // namespace torvane
