#pragma once

#include "clients/Sezione.h"

namespace torvane {

// Rows of 2 texts side by side, 44 high.
class Sezione2Label : public Sezione {
public:
    using Sezione::Sezione;
    ui::Row riga(int index) const override;
};

}  // namespace torvane
