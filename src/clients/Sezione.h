#pragma once

#include <string>
#include <vector>

#include "platform/ui/ScreenModel.h"

namespace torvane {

// One titled section of rows of the client detail screens. A row is a list of texts; the
// kind of section decides how many of them a row shows and how high it is.
class Sezione {
public:
    Sezione(std::string titolo, int numField, int tipo = 0);
    virtual ~Sezione() = default;

    int tipo = 0;
    std::string titolo;
    std::string footer;
    int numField = 0;
    int cellHeight = 0;  // 0: the kind's own row height
    std::vector<std::vector<std::string>> rigaObject;

    // The row is copied.
    void addRiga(const std::vector<std::string>& riga) { rigaObject.push_back(riga); }
    int numeroRighe() const { return static_cast<int>(rigaObject.size()); }

    // The row as the screen shows it; the base kind draws nothing.
    virtual ui::Row riga(int index) const;
    int altezzaRiga(int index) const { return cellHeight > 0 ? cellHeight : altezzaPredefinita(index); }

protected:
    virtual int altezzaPredefinita(int index) const;
    // Field `field` of row `index`, "" when the row is shorter.
    std::string campo(int index, int field) const;
    // A row of the first `count` fields as labels, in the given cell kind.
    ui::Row rigaDiEtichette(int index, int count, const char* cella) const;
};

}  // namespace torvane
