#pragma once

namespace torvane {

// What a catalogue run has created so far, added up over all its documents; the section
// loader adds to them, the run's caller reads them.
struct LoadCounters {
    int articoli = 0;
    int colori = 0;
    int listini = 0;
    int prezzi = 0;
    int clienti = 0;
    int giacenze = 0;
    int tags = 0;  // elements processed, in batches; -1 when nothing new was loaded
};

}  // namespace torvane
