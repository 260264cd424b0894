#pragma once

#include "clients/Sezione.h"

namespace torvane {

// Rows of one text, 44 high.
class Sezione1Label : public Sezione {
public:
    using Sezione::Sezione;
    ui::Row riga(int index) const override;
};

}  // namespace torvane
