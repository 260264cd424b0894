#include "screens/GenericTableViewController.h"

#include "screens/GenericTableDelegate.h"
#include "screens/ComboViewController.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/ui/FieldTag.h"
#include "platform/ui/Ui.h"

namespace torvane {

namespace {
constexpr const char* kConferma = "Conferma";
constexpr const char* kAnnulla = "Annulla";
}  // namespace

GenericTableViewController::GenericTableViewController(ui::Ui& ui, std::string name, std::vector<GenericField> fields,
                                                       GenericTableDelegate* delegate)
    : Screen(ui), name_(std::move(name)), fields_(std::move(fields)), delegate_(delegate) {
    setTitle(name_);
}

std::vector<ui::Section> GenericTableViewController::sections() const {
    std::vector<ui::Section> sections;
    for (std::size_t s = 0; s < fields_.size(); ++s) {
        const GenericField& field = fields_[s];
        ui::Section section;
        section.title = field.titolo();
        const auto attributes = field.rowAttributes();
        for (std::size_t r = 0; r < attributes.size(); ++r) {
            const std::string value = field.manObj().stringValue(attributes[r]).value_or("");
            ui::Row row;
            if (field.tipo() == GenericField::ValueChoice) {
                ui::Label shown;
                shown.text = value;
                row.items.push_back(shown);
                row.accessory = ui::Accessory::Disclosure;
            } else {
                ui::TextField line;
                line.tag = ui::kFormTags.of(static_cast<int>(s), static_cast<int>(r));
                line.text = value;
                line.maxLength = field.limits() ? *field.maxCharLen() : 0;
                row.items.push_back(line);
                row.selectable = false;
            }
            section.rows.push_back(std::move(row));
        }
        sections.push_back(std::move(section));
    }
    return sections;
}

std::vector<ui::NavigationButton> GenericTableViewController::navigationButtons() const {
    return {{"annulla", kAnnulla, ui::NavigationSide::Left}, {"conferma", kConferma, ui::NavigationSide::Right}};
}

const GenericField* GenericTableViewController::fieldFor(int tag, std::string* attribute) const {
    if (tag < 0) return nullptr;
    const ui::IndexPath where = ui::kFormTags.at(tag);
    const auto section = static_cast<std::size_t>(where.section);
    const auto row = static_cast<std::size_t>(where.row);
    if (section >= fields_.size()) return nullptr;
    const GenericField& field = fields_[section];
    const auto attributes = field.rowAttributes();
    if (field.tipo() == GenericField::ValueChoice || row >= attributes.size()) return nullptr;
    if (attribute) *attribute = attributes[row];
    return &field;
}

void GenericTableViewController::didSelectRow(int section, int row) {
    (void)row;
    if (section < 0 || static_cast<std::size_t>(section) >= fields_.size()) return;
    const GenericField& field = fields_[static_cast<std::size_t>(section)];
    if (field.tipo() != GenericField::ValueChoice) return;
    ui().endEditing(*this);
    ui().push(*this, std::make_shared<ComboViewController>(ui(), field.titolo(), section, field.sceltaValoriArray(), this));
}

void GenericTableViewController::textFieldDidBeginEditing(int tag) {
    editingTag_ = tag;
    ui().scrollTo(*this, ui::kFormTags.at(tag), ui::ScrollPosition::Top);
}

bool GenericTableViewController::shouldChangeCharacters(int tag, const std::string& newText) {
    const GenericField* field = fieldFor(tag, nullptr);
    if (!field || !field->limits()) return true;
    return utf16Length(newText) <= static_cast<std::size_t>(*field->maxCharLen());
}

void GenericTableViewController::textFieldDidEndEditing(int tag, const std::string& text) {
    if (tag == editingTag_) editingTag_ = -1;
    std::string attribute;
    const GenericField* field = fieldFor(tag, &attribute);
    if (!field) return;
    Log::f("                     Valore OLD:%@", field->manObj().stringValue(attribute));
    field->manObj().setStringValue(attribute, text);
    Log::f("                     Valore NEW:%@", text);
}

bool GenericTableViewController::textFieldShouldReturn(int tag) {
    // As one tab of a registry its last line is not the form's last: Return confirms nothing.
    if (container()) return true;
    for (std::size_t s = fields_.size(); s-- > 0;) {
        if (fields_[s].tipo() == GenericField::ValueChoice) continue;
        const auto lines = fields_[s].rowAttributes().size();
        if (lines == 0) continue;
        if (tag == static_cast<int>(s * 100 + lines - 1)) navigationButtonTapped("conferma");
        break;
    }
    return true;
}

void GenericTableViewController::navigationButtonTapped(const std::string& action) {
    // The line being typed is stored before the delegate hears the button.
    ui().endEditing(*this);
    if (!delegate_) return;
    if (action == "conferma") delegate_->genericTableControllerWithName(name_, kConferma);
    else if (action == "annulla") delegate_->genericTableControllerWithName(name_, kAnnulla);
}

void GenericTableViewController::comboWithName(const std::string& name, int tag, const std::vector<std::string>& array,
                                               int index) {
    (void)name;
    if (tag < 0 || static_cast<std::size_t>(tag) >= fields_.size()) return;
    if (index < 0 || static_cast<std::size_t>(index) >= array.size()) return;
    const GenericField& field = fields_[static_cast<std::size_t>(tag)];
    field.manObj().setStringValue(field.attributo(), array[static_cast<std::size_t>(index)]);
    redraw();
}

}  // namespace torvane
