#include "clients/Sezione.h"

namespace torvane {

Sezione::Sezione(std::string titolo_, int numField_, int tipo_)
    : tipo(tipo_), titolo(std::move(titolo_)), numField(numField_) {}

ui::Row Sezione::riga(int index) const {
    ui::Row row;
    row.height = altezzaRiga(index);
    return row;
}

int Sezione::altezzaPredefinita(int index) const {
    (void)index;
    return 44;
}

std::string Sezione::campo(int index, int field) const {
    if (index < 0 || index >= numeroRighe()) return {};
    const auto& fields = rigaObject[static_cast<size_t>(index)];
    return field >= 0 && field < static_cast<int>(fields.size()) ? fields[static_cast<size_t>(field)] : std::string();
}

ui::Row Sezione::rigaDiEtichette(int index, int count, const char* cella) const {
    ui::Row row;
    row.kind = cella;
    row.height = altezzaRiga(index);
    for (int field = 0; field < count; ++field) {
        ui::Label label;
        label.text = campo(index, field);
        row.items.emplace_back(std::move(label));
    }
    return row;
}

}  // namespace torvane
