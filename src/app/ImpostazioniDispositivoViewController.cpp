#include "app/ImpostazioniDispositivoViewController.h"

#include "app/AppDelegate.h"
#include "screens/ComboViewController.h"
#include "platform/Bundle.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/FieldTag.h"
#include "platform/ui/Ui.h"
#include "platform/ui/LabelBuilder.h"

namespace torvane {

namespace {

Preferences& prefs() { return Preferences::standard(); }

ui::Keyboard keyboardFor(const std::string& type) {
    if (type == "NumberPad") return ui::Keyboard::Number;
    if (type == "URL") return ui::Keyboard::Url;
    if (type == "EmailAddress") return ui::Keyboard::Email;
    return ui::Keyboard::Default;
}

}  // namespace

ImpostazioniDispositivoViewController::ImpostazioniDispositivoViewController(ui::Ui& ui, std::string settingsFile)
    : Screen(ui) {
    setTitle("Impostazioni dispositivo");
    if (settingsFile.empty()) settingsFile = Bundle::settingsBundleDir() + "/Root.plist";
    auto plist = PropertyList::readFile(settingsFile);
    const PlistValue* specifiers = plist ? plist->find("PreferenceSpecifiers") : nullptr;
    if (!specifiers || !specifiers->isArray()) {
        Log::f("Impostazioni dispositivo: non riesco a leggere %@", settingsFile);
        return;
    }
    for (const PlistValue& entry : specifiers->items()) {
        Voce voce;
        voce.tipo = entry.stringFor("Type").value_or("");
        voce.titolo = entry.stringFor("Title").value_or("");
        voce.chiave = entry.stringFor("Key").value_or("");
        if (voce.tipo == "PSGroupSpecifier" || gruppi_.empty()) gruppi_.push_back({voce.tipo == "PSGroupSpecifier" ? voce.titolo : "", {}});
        if (voce.tipo == "PSGroupSpecifier" || voce.chiave.empty()) continue;
        if (const PlistValue* secure = entry.find("IsSecure")) voce.segreto = secure->asBoolean().value_or(false);
        voce.tastiera = keyboardFor(entry.stringFor("KeyboardType").value_or(""));
        if (const PlistValue* titles = entry.find("Titles"))
            for (const PlistValue& t : titles->items()) voce.titoli.push_back(t.asString().value_or(""));
        if (const PlistValue* values = entry.find("Values")) voce.valori = values->items();
        gruppi_.back().voci.push_back(std::move(voce));
    }
}

const ImpostazioniDispositivoViewController::Voce* ImpostazioniDispositivoViewController::voceAt(int section, int row) const {
    if (section < 0 || section >= static_cast<int>(gruppi_.size())) return nullptr;
    const auto& voci = gruppi_[static_cast<std::size_t>(section)].voci;
    if (row < 0 || row >= static_cast<int>(voci.size())) return nullptr;
    return &voci[static_cast<std::size_t>(row)];
}

const ImpostazioniDispositivoViewController::Voce* ImpostazioniDispositivoViewController::voceWithTag(int tag) const {
    const ui::IndexPath where = ui::kFormTags.at(tag);
    return voceAt(where.section, where.row);
}

std::string ImpostazioniDispositivoViewController::testo(const Voce& voce) const {
    auto value = prefs().objectForKey(voce.chiave);
    if (!value) return {};
    for (std::size_t i = 0; i < voce.valori.size() && i < voce.titoli.size(); ++i)
        if (auto choice = PropertyList::toPreferenceValue(voce.valori[i]);
            choice && Preferences::describe(*choice) == Preferences::describe(*value))
            return voce.titoli[i];
    if (auto* text = std::get_if<std::string>(&*value)) return *text;
    return Preferences::describe(*value);
}

std::vector<ui::Section> ImpostazioniDispositivoViewController::sections() const {
    std::vector<ui::Section> sections;
    for (std::size_t s = 0; s < gruppi_.size(); ++s) {
        ui::Section section{gruppi_[s].titolo, "", {}};
        for (std::size_t r = 0; r < gruppi_[s].voci.size(); ++r) {
            const Voce& voce = gruppi_[s].voci[r];
            ui::Row row;
            if (voce.tipo != "PSToggleSwitchSpecifier") row.items.push_back(ui::label(voce.titolo));
            if (voce.tipo == "PSToggleSwitchSpecifier") {
                ui::Switch toggle;
                toggle.action = voce.chiave;
                toggle.title = voce.titolo;
                toggle.on = prefs().boolForKey(voce.chiave);
                row.items.push_back(toggle);
                row.selectable = false;
            } else if (voce.tipo == "PSTextFieldSpecifier") {
                ui::TextField field;
                field.tag = ui::kFormTags.of(static_cast<int>(s), static_cast<int>(r));
                field.text = testo(voce);
                field.secure = voce.segreto;
                field.keyboard = voce.tastiera;
                row.items.push_back(field);
                row.selectable = false;
            } else {
                row.items.push_back(ui::label(testo(voce)));
                if (voce.tipo == "PSMultiValueSpecifier") row.accessory = ui::Accessory::Disclosure;
            }
            section.rows.push_back(std::move(row));
        }
        sections.push_back(std::move(section));
    }
    return sections;
}

void ImpostazioniDispositivoViewController::didSelectRow(int section, int row) {
    const Voce* voce = voceAt(section, row);
    if (!voce || voce->tipo != "PSMultiValueSpecifier") return;
    scegliendo_ = true;
    ui().push(*this, std::make_shared<ComboViewController>(ui(), voce->titolo, ui::kFormTags.of(section, row), voce->titoli, this));
}

void ImpostazioniDispositivoViewController::comboWithName(const std::string&, int tag, const std::vector<std::string>&, int index) {
    const Voce* voce = voceWithTag(tag);
    if (!voce || index < 0 || index >= static_cast<int>(voce->valori.size())) return;
    if (auto value = PropertyList::toPreferenceValue(voce->valori[static_cast<std::size_t>(index)])) {
        prefs().setObject(voce->chiave, *value);
        prefs().synchronize();
    }
    redraw();
}

void ImpostazioniDispositivoViewController::textFieldDidEndEditing(int tag, const std::string& text) {
    const Voce* voce = voceWithTag(tag);
    if (!voce || voce->tipo != "PSTextFieldSpecifier") return;
    const auto info = keyInfo(voce->chiave);
    if (info && info->type == KeyType::Integer) prefs().setInteger(voce->chiave, std::atoll(text.c_str()));
    else prefs().setString(voce->chiave, text);
    prefs().synchronize();
}

void ImpostazioniDispositivoViewController::switchChanged(const std::string& action, bool on, ui::IndexPath) {
    prefs().setBool(action, on);
    prefs().synchronize();
    redraw();
}

void ImpostazioniDispositivoViewController::viewWillAppear() { scegliendo_ = false; }

void ImpostazioniDispositivoViewController::viewWillDisappear() {
    ui().endEditing(*this);
    // A choice list over the screen is not leaving it.
    if (scegliendo_) return;
    if (AppDelegate* delegate = AppDelegate::appDelegate()) delegate->applicationWillEnterForeground();
}

}  // namespace torvane
