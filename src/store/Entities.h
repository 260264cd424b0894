#pragma once

// The record classes of the store, one per entity, with one accessor per attribute and
// relationship. They are generated from the model list, so the classes, the tables and the
// migrations can never disagree.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/Record.h"

namespace torvane {

struct EntityDescription;

#define TORVANE_NO_ATTRIBUTE(name, Name)
#define ENTITY(Name) class Name;
#define END_ENTITY(Name)
#define STRING TORVANE_NO_ATTRIBUTE
#define DECIMAL TORVANE_NO_ATTRIBUTE
#define INTEGER TORVANE_NO_ATTRIBUTE
#define BOOLEAN TORVANE_NO_ATTRIBUTE
#define DOUBLE TORVANE_NO_ATTRIBUTE
#define NUMBER TORVANE_NO_ATTRIBUTE
#define DATE TORVANE_NO_ATTRIBUTE
#define BLOB TORVANE_NO_ATTRIBUTE
#define TO_ONE(Entity, name, Name, Target, inverse, onDelete)
#define TO_ONE_INVERSE(Entity, name, Name, Target, inverse)
#define TO_MANY(Entity, name, Target, inverse)
#define ORDERED(Entity, name, Target, inverse)
#define MANY_TO_MANY(Entity, name, Target, inverse, JoinTable)
#define KEY(columns)
#include "store/Model.def"
#include "store/ModelMacrosEnd.h"

#define ENTITY(Name)                                                                   \
    class Name : public Record {                                                       \
    public:                                                                            \
        static const EntityDescription* description();                                 \
        Name(std::shared_ptr<StoreConnection> connection, long long id)                \
            : Record(std::move(connection), description(), id) {}                      \
        explicit Name(const Record& record) : Record(record.connection(), description(), record.id()) {}
#define END_ENTITY(Name) };
#define TORVANE_ATTRIBUTE(name, Name, Type, Getter, Setter)                            \
    std::optional<Type> name() const { return Getter(#name); }                        \
    void set##Name(std::optional<Type> value) const { Setter(#name, std::move(value)); }
#define STRING(name, Name) TORVANE_ATTRIBUTE(name, Name, std::string, stringValue, setStringValue)
#define DECIMAL(name, Name) TORVANE_ATTRIBUTE(name, Name, Decimal, decimalValue, setDecimalValue)
#define NUMBER(name, Name) TORVANE_ATTRIBUTE(name, Name, Decimal, decimalValue, setDecimalValue)
#define INTEGER(name, Name) TORVANE_ATTRIBUTE(name, Name, long long, integerValue, setIntegerValue)
#define BOOLEAN(name, Name) TORVANE_ATTRIBUTE(name, Name, bool, boolValue, setBoolValue)
#define DOUBLE(name, Name) TORVANE_ATTRIBUTE(name, Name, double, doubleValue, setDoubleValue)
#define DATE(name, Name) TORVANE_ATTRIBUTE(name, Name, Timestamp, dateValue, setDateValue)
#define BLOB(name, Name) TORVANE_ATTRIBUTE(name, Name, std::vector<unsigned char>, blobValue, setBlobValue)
#define TO_ONE(Entity, name, Name, Target, inverse, onDelete) \
    std::optional<Target> name() const;                         \
    void set##Name(const std::optional<Target>& target) const;
#define TO_ONE_INVERSE(Entity, name, Name, Target, inverse) TO_ONE(Entity, name, Name, Target, inverse, NULLIFY)
#define TO_MANY(Entity, name, Target, inverse) std::vector<Target> name() const;
#define ORDERED(Entity, name, Target, inverse) std::vector<Target> name() const;
#define MANY_TO_MANY(Entity, name, Target, inverse, JoinTable) std::vector<Target> name() const;
#define KEY(columns)
#include "store/Model.def"
#include "store/ModelMacrosEnd.h"
#undef TORVANE_ATTRIBUTE
#undef TORVANE_NO_ATTRIBUTE

}  // namespace torvane
