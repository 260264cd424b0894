#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Decimal.h"
#include "platform/IsoDate.h"
#include "store/SqlValue.h"

namespace torvane {

class StoreConnection;
struct EntityDescription;
struct RelationshipDescription;

// A record of the store: a light handle (entity, row id, connection). Getters read the row and
// setters write it inside the open transaction, so every later fetch sees the change and a
// rollback undoes it. A handle to a deleted or rolled-back row reads as absent; a handle that
// outlives its store reads as absent too. Every value may be absent (a boolean can be true,
// false or absent: several rules test presence, not truth).
class Record {
public:
    Record(std::shared_ptr<StoreConnection> connection, const EntityDescription* entity, long long id);

    long long id() const { return id_; }
    const std::string& entityName() const;
    const EntityDescription& entity() const { return *entity_; }
    const std::shared_ptr<StoreConnection>& connection() const { return connection_; }
    bool exists() const;
    bool operator==(const Record& other) const { return entity_ == other.entity_ && id_ == other.id_; }

    // Attributes by name (the entity's own names only; anything else reads absent).
    std::optional<std::string> stringValue(std::string_view attribute) const;
    std::optional<Decimal> decimalValue(std::string_view attribute) const;
    std::optional<long long> integerValue(std::string_view attribute) const;
    std::optional<bool> boolValue(std::string_view attribute) const;
    std::optional<double> doubleValue(std::string_view attribute) const;
    std::optional<Timestamp> dateValue(std::string_view attribute) const;
    std::optional<std::vector<unsigned char>> blobValue(std::string_view attribute) const;

    void setStringValue(std::string_view attribute, std::optional<std::string> value) const;
    void setDecimalValue(std::string_view attribute, std::optional<Decimal> value) const;
    void setIntegerValue(std::string_view attribute, std::optional<long long> value) const;
    void setBoolValue(std::string_view attribute, std::optional<bool> value) const;
    void setDoubleValue(std::string_view attribute, std::optional<double> value) const;
    void setDateValue(std::string_view attribute, std::optional<Timestamp> value) const;
    void setBlobValue(std::string_view attribute, std::optional<std::vector<unsigned char>> value) const;

    // Relationships by name; the inverse side follows.
    std::optional<long long> toOneId(std::string_view relationship) const;
    void setToOne(std::string_view relationship, const std::optional<Record>& target) const;
    std::vector<long long> toManyIds(std::string_view relationship) const;
    void addTo(std::string_view relationship, const Record& target) const;
    void removeFrom(std::string_view relationship, const Record& target) const;

    // Raw access for the store service (raises on failure, unlike the accessors).
    SqlValue column(std::string_view attribute) const;
    void setColumn(std::string_view attribute, SqlValue value) const;
    void setToOneOrThrow(const RelationshipDescription& relationship, const std::optional<Record>& target) const;
    void deleteOrThrow() const;

private:
    const RelationshipDescription* relationshipNamed(std::string_view name) const;
    void reportFailure(std::string_view what, const std::exception& failure) const;

    std::shared_ptr<StoreConnection> connection_;
    const EntityDescription* entity_;
    long long id_;
};

}  // namespace torvane
