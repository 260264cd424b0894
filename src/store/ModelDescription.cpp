#include "store/ModelDescription.h"

namespace torvane {

const AttributeDescription* EntityDescription::attribute(std::string_view attributeName) const {
    for (const auto& a : attributes)
        if (a.name == attributeName) return &a;
    return nullptr;
}

const RelationshipDescription* EntityDescription::relationship(std::string_view relationshipName) const {
    for (const auto& r : relationships)
        if (r.name == relationshipName) return &r;
    return nullptr;
}

const ModelDescription& ModelDescription::shared() {
    static const ModelDescription model;
    return model;
}

ModelDescription::ModelDescription() {
    EntityDescription* e = nullptr;
#define ENTITY(Name) e = &entities_.emplace_back(); e->name = #Name;
#define END_ENTITY(Name)
#define TORVANE_ATTRIBUTE(name, kind) e->attributes.push_back({#name, AttributeType::kind});
#define STRING(name, Name) TORVANE_ATTRIBUTE(name, String)
#define DECIMAL(name, Name) TORVANE_ATTRIBUTE(name, Decimal)
#define INTEGER(name, Name) TORVANE_ATTRIBUTE(name, Integer)
#define BOOLEAN(name, Name) TORVANE_ATTRIBUTE(name, Boolean)
#define DOUBLE(name, Name) TORVANE_ATTRIBUTE(name, Double)
#define NUMBER(name, Name) TORVANE_ATTRIBUTE(name, Number)
#define DATE(name, Name) TORVANE_ATTRIBUTE(name, Date)
#define BLOB(name, Name) TORVANE_ATTRIBUTE(name, Blob)
#define TO_ONE(Entity, name, Name, Target, inverse, onDelete) \
    e->relationships.push_back({#name, #Target, #inverse, RelationshipKind::ToOne, std::string_view(#onDelete) == "CASCADE", {}});
#define TO_ONE_INVERSE(Entity, name, Name, Target, inverse) \
    e->relationships.push_back({#name, #Target, #inverse, RelationshipKind::ToOneInverse, false, {}});
#define TO_MANY(Entity, name, Target, inverse) \
    e->relationships.push_back({#name, #Target, #inverse, RelationshipKind::ToMany, false, {}});
#define ORDERED(Entity, name, Target, inverse) \
    e->relationships.push_back({#name, #Target, #inverse, RelationshipKind::Ordered, false, {}});
#define MANY_TO_MANY(Entity, name, Target, inverse, JoinTable) \
    e->relationships.push_back({#name, #Target, #inverse, RelationshipKind::ManyToMany, false, #JoinTable});
#define KEY(columns) e->keys.push_back(columns);
#include "store/Model.def"
#include "store/ModelMacrosEnd.h"
#undef TORVANE_ATTRIBUTE
}

const EntityDescription* ModelDescription::entity(std::string_view name) const {
    for (const auto& e : entities_)
        if (e.name == name) return &e;
    return nullptr;
}

std::string ModelDescription::positionColumn(const RelationshipDescription& ordered) {
    return ordered.inverse + "Posizione";
}

}  // namespace torvane
