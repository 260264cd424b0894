#include "screens/GenericField.h"

namespace torvane {

GenericField GenericField::initTypeSingleInputWithManagedObj(Record record, std::string attributo) {
    GenericField field(SingleInput, std::move(record));
    field.attributo_ = std::move(attributo);
    return field;
}

GenericField GenericField::initTypeMultiInputWithManagedObj(Record record, std::vector<std::string> attributi) {
    GenericField field(MultiInput, std::move(record));
    field.attributiArray_ = std::move(attributi);
    return field;
}

GenericField GenericField::initTypeValueChoiceWithManagedObj(Record record, std::string attributo,
                                                             std::vector<std::string> sceltaValori) {
    GenericField field(ValueChoice, std::move(record));
    field.attributo_ = std::move(attributo);
    field.sceltaValoriArray_ = std::move(sceltaValori);
    return field;
}

std::vector<std::string> GenericField::rowAttributes() const {
    return tipo_ == MultiInput ? attributiArray_ : std::vector<std::string>{attributo_};
}

}  // namespace torvane
