#include "clients/SezioneEtichette.h"

#include "platform/Format.h"

namespace torvane {

SezioneEtichette::SezioneEtichette(int colonne, std::string titolo, int numField)
    : Sezione(std::move(titolo), numField), colonne_(colonne), cella_(format("DettaglioTable%dLabelCell", colonne)) {}

ui::Row SezioneEtichette::riga(int index) const { return rigaDiEtichette(index, colonne_, cella_.c_str()); }

}  // namespace torvane
