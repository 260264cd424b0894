#include "store/Entities.h"

#include "store/ModelDescription.h"

namespace torvane {

namespace {

template <typename T>
std::vector<T> recordsOf(const Record& owner, const std::vector<long long>& ids) {
    std::vector<T> records;
    records.reserve(ids.size());
    for (long long id : ids) records.emplace_back(owner.connection(), id);
    return records;
}

}  // namespace

#define TORVANE_NO_ATTRIBUTE(name, Name)
#define ENTITY(Name)                                                               \
    const EntityDescription* Name::description() {                                 \
        static const EntityDescription* entity = ModelDescription::shared().entity(#Name); \
        return entity;                                                             \
    }
#define END_ENTITY(Name)
#define STRING TORVANE_NO_ATTRIBUTE
#define DECIMAL TORVANE_NO_ATTRIBUTE
#define INTEGER TORVANE_NO_ATTRIBUTE
#define BOOLEAN TORVANE_NO_ATTRIBUTE
#define DOUBLE TORVANE_NO_ATTRIBUTE
#define NUMBER TORVANE_NO_ATTRIBUTE
#define DATE TORVANE_NO_ATTRIBUTE
#define BLOB TORVANE_NO_ATTRIBUTE
#define TO_ONE(Entity, name, Name, Target, inverse, onDelete)                      \
    std::optional<Target> Entity::name() const {                                   \
        auto id = toOneId(#name);                                                  \
        if (!id) return std::nullopt;                                              \
        return Target(connection(), *id);                                          \
    }                                                                              \
    void Entity::set##Name(const std::optional<Target>& target) const {            \
        setToOne(#name, target ? std::optional<Record>(*target) : std::nullopt);  \
    }
#define TO_ONE_INVERSE(Entity, name, Name, Target, inverse) TO_ONE(Entity, name, Name, Target, inverse, NULLIFY)
#define TORVANE_TO_MANY(Entity, name, Target) \
    std::vector<Target> Entity::name() const { return recordsOf<Target>(*this, toManyIds(#name)); }
#define TO_MANY(Entity, name, Target, inverse) TORVANE_TO_MANY(Entity, name, Target)
#define ORDERED(Entity, name, Target, inverse) TORVANE_TO_MANY(Entity, name, Target)
#define MANY_TO_MANY(Entity, name, Target, inverse, JoinTable) TORVANE_TO_MANY(Entity, name, Target)
#define KEY(columns)
#include "store/Model.def"
#include "store/ModelMacrosEnd.h"
#undef TORVANE_TO_MANY
#undef TORVANE_NO_ATTRIBUTE

}  // namespace torvane
