#pragma once

#include "clients/Sezione.h"

namespace torvane {

// One of the three tables of a collection in the landscape detail (`tipo` 1: articles in
// production, 2: samples without production, 3: only "T+CC"). Row 0 is the header; the
// other rows are articles, each drawn with the columns its table shows.
class SezioneDettaglioCollezione : public Sezione {
public:
    enum Tipo { Produzione = 1, Campionature = 2, SoloTCC = 3 };
    using Sezione::Sezione;
    ui::Row riga(int index) const override;

protected:
    int altezzaPredefinita(int index) const override;

private:
    ui::Row testata() const;
    ui::Row articolo(int index) const;
    // Field `field`, "?!?" when the row is too short to have it.
    std::string campoOSegnale(int index, int field) const;
};

}  // namespace torvane
