#include "clients/Sezione1Label.h"

namespace torvane {

ui::Row Sezione1Label::riga(int index) const { return rigaDiEtichette(index, 1, "DettaglioTable1LabelCell"); }

}  // namespace torvane
