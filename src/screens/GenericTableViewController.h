#pragma once

#include <string>
#include <vector>

#include "screens/GenericField.h"
#include "screens/ComboDelegate.h"
#include "platform/ui/Screen.h"

namespace torvane {

class GenericTableDelegate;

// A form built from field descriptions: one section per field, a text line per attribute
// (tagged section × 100 + row), a value choice through the list picker. Each line is stored in
// its record when its editing ends; the buttons go to the delegate.
class GenericTableViewController : public ui::Screen, public ComboDelegate {
public:
    GenericTableViewController(ui::Ui& ui, std::string name, std::vector<GenericField> fields,
                               GenericTableDelegate* delegate);

    const std::string& name() const { return name_; }
    const std::vector<GenericField>& genericFieldArray() const { return fields_; }

    std::vector<ui::Section> sections() const override;
    std::vector<ui::NavigationButton> navigationButtons() const override;
    void didSelectRow(int section, int row) override;
    void textFieldDidBeginEditing(int tag) override;
    bool shouldChangeCharacters(int tag, const std::string& newText) override;
    void textFieldDidEndEditing(int tag, const std::string& text) override;
    // Return in the form's last line is "Conferma" (which stores the lines and checks them),
    // unless the form is one tab of several.
    bool textFieldShouldReturn(int tag) override;
    void navigationButtonTapped(const std::string& action) override;
    void comboWithName(const std::string& name, int tag, const std::vector<std::string>& array, int index) override;

private:
    // The field and attribute a line's tag stands for; none for a tag of no line.
    const GenericField* fieldFor(int tag, std::string* attribute) const;

    std::string name_;
    std::vector<GenericField> fields_;
    GenericTableDelegate* delegate_;
    int editingTag_ = -1;
};

}  // namespace torvane
