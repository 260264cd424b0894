#pragma once

#include <string>

namespace torvane {

// The readable text of an HTML body, for the compose screen's preview: blocks and table rows
// on lines of their own, cells apart, blanks collapsed; scripts and styles left out.
class HtmlPreview {
public:
    static std::string textOf(const std::string& html);
};

}  // namespace torvane
