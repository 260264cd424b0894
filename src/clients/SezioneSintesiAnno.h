#pragma once

#include <string>
#include <vector>

#include "clients/Sezione.h"
#include "platform/Decimal.h"

namespace torvane {

// The turnover of two years in one tall row, each with a horizontal bar: the larger year's
// bar is 140 points wide, the other in proportion.
class SezioneSintesiAnno : public Sezione {
public:
    struct Anno {
        std::string anno;
        Decimal fatturato;
    };
    SezioneSintesiAnno(std::string titolo, std::vector<Anno> anni);
    ui::Row riga(int index) const override;

    // Width of the bar of `valore` against `massimo`, truncated to whole points.
    static int larghezzaBarra(const Decimal& valore, const Decimal& massimo);

protected:
    int altezzaPredefinita(int index) const override;

private:
    std::vector<Anno> anni_;
};

}  // namespace torvane
