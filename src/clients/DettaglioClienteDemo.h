#pragma once

#include <memory>
#include <vector>

#include "clients/Sezione.h"

namespace torvane {

// The fixed sample the client detail shows in demonstration mode, the same for every client:
// eight sections with illustrative names and figures.
class DettaglioClienteDemo {
public:
    static std::vector<std::unique_ptr<Sezione>> sezioni();
};

}  // namespace torvane
