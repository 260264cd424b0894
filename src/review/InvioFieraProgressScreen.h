#pragma once

#include "platform/ui/Screen.h"

namespace torvane {

// The panel shown while the order goes to the fair PC: the attempts take up to 45 seconds
// and run off the main thread; the panel is modal, so nothing else can be pressed meanwhile
// and the order is sent once.
class InvioFieraProgressScreen : public ui::Screen {
public:
    explicit InvioFieraProgressScreen(ui::Ui& ui) : Screen(ui) { setTitle("Invio al PC Fiera ..."); }

    void setTentativo(int tentativo) {
        tentativo_ = tentativo;
        redraw();
    }
    int tentativo() const { return tentativo_; }

    std::vector<ui::Section> sections() const override {
        ui::Row row;
        ui::Label testo;
        testo.text = tentativo_ > 0 ? "Tentativo " + std::to_string(tentativo_) + " di 3" : "Preparazione ...";
        row.items = {testo, ui::ProgressBar{tentativo_ / 3.0}};
        row.selectable = false;
        return {ui::Section{"Invio al PC Fiera ...", "", {row}}};
    }

private:
    int tentativo_ = 0;
};

}  // namespace torvane
