#pragma once

#include <string>
#include <vector>

#include "screens/ComboDelegate.h"
#include "platform/PropertyList.h"
#include "platform/ui/Screen.h"

namespace torvane {

// The device settings, built from the settings file the application ships (groups, text
// fields, secure fields, switches, choices among values) and read from and written to the
// preferences at once. Leaving the screen is coming back to the application: what changed
// (a company, a login request, a deletion request) takes effect as at a return to the front.
class ImpostazioniDispositivoViewController : public ui::Screen, public ComboDelegate {
public:
    // `settingsFile`: the settings property list (by default the shipped Root.plist).
    explicit ImpostazioniDispositivoViewController(ui::Ui& ui, std::string settingsFile = {});

    std::vector<ui::Section> sections() const override;
    void didSelectRow(int section, int row) override;
    void textFieldDidEndEditing(int tag, const std::string& text) override;
    void switchChanged(const std::string& action, bool on, ui::IndexPath where) override;
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void comboWithName(const std::string& name, int tag, const std::vector<std::string>& array, int index) override;

private:
    struct Voce {
        std::string tipo;  // "PSTextFieldSpecifier", "PSToggleSwitchSpecifier", …
        std::string titolo;
        std::string chiave;
        bool segreto = false;
        ui::Keyboard tastiera = ui::Keyboard::Default;
        std::vector<std::string> titoli;
        std::vector<PlistValue> valori;
    };
    struct Gruppo {
        std::string titolo;
        std::vector<Voce> voci;
    };
    const Voce* voceAt(int section, int row) const;
    const Voce* voceWithTag(int tag) const;
    // The value shown for a key: its text, or the title of its current choice.
    std::string testo(const Voce& voce) const;

    std::vector<Gruppo> gruppi_;
    bool scegliendo_ = false;
};

}  // namespace torvane
