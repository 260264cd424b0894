#pragma once

#include "clients/Sezione.h"

namespace torvane {

// A small table of five columns, 36 high: the first row is the column header (blue, bold),
// the last the totals (bold).
class Sezione5Label : public Sezione {
public:
    using Sezione::Sezione;
    ui::Row riga(int index) const override;

protected:
    int altezzaPredefinita(int index) const override;
};

}  // namespace torvane
