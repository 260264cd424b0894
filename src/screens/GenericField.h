#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/Record.h"

namespace torvane {

// One field of a generic edit form, bound to attributes of one store record that it edits in
// place: one text line, several lines (one per attribute), or a value chosen from a list (the
// stored value is the chosen text itself).
class GenericField {
public:
    enum Tipo { SingleInput = 1, MultiInput = 2, ValueChoice = 3 };

    static GenericField initTypeSingleInputWithManagedObj(Record record, std::string attributo);
    static GenericField initTypeMultiInputWithManagedObj(Record record, std::vector<std::string> attributi);
    static GenericField initTypeValueChoiceWithManagedObj(Record record, std::string attributo,
                                                          std::vector<std::string> sceltaValori);

    Tipo tipo() const { return tipo_; }
    const Record& manObj() const { return manObj_; }
    const std::string& attributo() const { return attributo_; }
    const std::vector<std::string>& attributiArray() const { return attributiArray_; }
    const std::vector<std::string>& sceltaValoriArray() const { return sceltaValoriArray_; }
    const std::string& titolo() const { return titolo_; }
    void setTitolo(std::string titolo) { titolo_ = std::move(titolo); }
    // Below 1: no limit.
    std::optional<int> maxCharLen() const { return maxCharLen_; }
    void setMaxCharLen(int maxCharLen) { maxCharLen_ = maxCharLen; }
    bool limits() const { return tipo_ != ValueChoice && maxCharLen_ && *maxCharLen_ >= 1; }

    // The attributes shown, one per row.
    std::vector<std::string> rowAttributes() const;

private:
    GenericField(Tipo tipo, Record record) : tipo_(tipo), manObj_(std::move(record)) {}

    Tipo tipo_;
    Record manObj_;
    std::string attributo_;
    std::vector<std::string> attributiArray_;
    std::vector<std::string> sceltaValoriArray_;
    std::string titolo_;
    std::optional<int> maxCharLen_;
};

}  // namespace torvane
