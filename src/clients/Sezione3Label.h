#pragma once

#include "clients/Sezione.h"

namespace torvane {

// Rows of 3 texts side by side, 44 high.
class Sezione3Label : public Sezione {
public:
    using Sezione::Sezione;
    ui::Row riga(int index) const override;
};

}  // namespace torvane
