#include "loader/xml/XmlRecord.h"

namespace torvane {

std::optional<std::string> XmlRecord::attribute(std::string_view name) const {
    std::string_view value;
    if (!tree_ || !tree_->attribute(index_, name, value)) return std::nullopt;
    return std::string(value);
}

XmlRecord::Children XmlRecord::children() const {
    return Children(tree_ ? XmlRecord(tree_, tree_->firstChild(index_)) : XmlRecord());
}

std::size_t XmlRecord::Children::size() const {
    std::size_t n = 0;
    for (auto it = begin(); it != end(); ++it) ++n;
    return n;
}

XmlRecord XmlRecord::firstChild(std::string_view name) const {
    for (XmlRecord child : children())
        if (child.name() == name) return child;
    return {};
}

}  // namespace torvane
