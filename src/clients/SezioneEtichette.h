#pragma once

#include <string>

#include "clients/Sezione.h"

namespace torvane {

// Rows of `colonne` plain texts side by side, 44 high, in the cell kind named after the count
// ("DettaglioTable2LabelCell").
class SezioneEtichette : public Sezione {
public:
    SezioneEtichette(int colonne, std::string titolo, int numField);
    ui::Row riga(int index) const override;

private:
    int colonne_;
    std::string cella_;
};

}  // namespace torvane
