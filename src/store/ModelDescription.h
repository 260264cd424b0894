#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

enum class AttributeType { String, Decimal, Integer, Boolean, Double, Number, Date, Blob };

enum class RelationshipKind {
    ToOne,         // the foreign key is a column of this entity's table
    ToOneInverse,  // one-to-one whose key the target keeps
    ToMany,        // the targets keep the key; insertion order
    Ordered,       // the targets keep the key and a position
    ManyToMany     // a join table
};

struct AttributeDescription {
    std::string name;
    AttributeType type;
};

struct RelationshipDescription {
    std::string name;
    std::string target;
    std::string inverse;    // empty when the relationship has none
    RelationshipKind kind;
    bool cascade = false;   // ToOne: the record goes when its target goes
    std::string joinTable;  // ManyToMany
};

struct EntityDescription {
    std::string name;
    std::vector<AttributeDescription> attributes;
    std::vector<RelationshipDescription> relationships;
    std::vector<std::string> keys;  // indexed business keys, columns separated by ","

    const AttributeDescription* attribute(std::string_view attributeName) const;
    const RelationshipDescription* relationship(std::string_view relationshipName) const;
};

// The object model of the store, built once from the model list.
class ModelDescription {
public:
    static const ModelDescription& shared();

    // Raised on every change of the model that needs a migration step.
    static constexpr int version = 1;

    const std::vector<EntityDescription>& entities() const { return entities_; }
    const EntityDescription* entity(std::string_view name) const;
    // Name of the position column of an ordered relationship, kept in the target's table.
    static std::string positionColumn(const RelationshipDescription& ordered);

private:
    ModelDescription();
    std::vector<EntityDescription> entities_;
};

}  // namespace torvane
