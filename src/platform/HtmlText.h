#pragma once

#include <string>
#include <string_view>

namespace torvane {

// Text from the store made safe inside HTML markup and inside a quoted attribute value:
// "&", "<", ">", '"' and "'" become character references. Names such as
// "Rossi & Figli <Moda>" then show as written and no catalogue text can add markup or script
// to the confirmation the customer receives.
std::string htmlEscaped(std::string_view text);

}  // namespace torvane
