#pragma once

#include <string>

namespace torvane {

// Told which button of a generic form was pressed ("Conferma" or "Annulla"); the form does
// not close itself.
class GenericTableDelegate {
public:
    virtual ~GenericTableDelegate() = default;
    virtual void genericTableControllerWithName(const std::string& name, const std::string& button) = 0;
};

}  // namespace torvane
