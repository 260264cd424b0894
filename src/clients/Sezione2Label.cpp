#include "clients/Sezione2Label.h"

namespace torvane {

ui::Row Sezione2Label::riga(int index) const { return rigaDiEtichette(index, 2, "DettaglioTable2LabelCell"); }

}  // namespace torvane
