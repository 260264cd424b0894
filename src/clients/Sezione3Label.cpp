#include "clients/Sezione3Label.h"

namespace torvane {

ui::Row Sezione3Label::riga(int index) const { return rigaDiEtichette(index, 3, "DettaglioTable3LabelCell"); }

}  // namespace torvane
