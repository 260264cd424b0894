#include "store/Record.h"

#include <charconv>
#include <stdexcept>

#include "platform/Log.h"
#include "store/ModelDescription.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

std::optional<long long> asInteger(const SqlValue& value) {
    if (auto* n = std::get_if<long long>(&value)) return *n;
    if (auto* d = std::get_if<double>(&value)) return static_cast<long long>(*d);
    if (auto* s = std::get_if<std::string>(&value)) {
        long long n = 0;
        auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), n);
        if (ec == std::errc()) return n;
    }
    return std::nullopt;
}

}  // namespace

Record::Record(std::shared_ptr<StoreConnection> connection, const EntityDescription* entity, long long id)
    : connection_(std::move(connection)), entity_(entity), id_(id) {}

const std::string& Record::entityName() const { return entity_->name; }

void Record::reportFailure(std::string_view what, const std::exception& failure) const {
    Log::f("Database: errore su %@.%@ (id %lld): %@", entity_->name, std::string(what), id_, failure.what());
}

bool Record::exists() const {
    if (!connection_ || !connection_->isOpen()) return false;
    try {
        return !connection_->queryIds("SELECT id FROM " + quoted(entity_->name) + " WHERE id = ?", {id_}).empty();
    } catch (const std::exception&) {
        return false;
    }
}

SqlValue Record::column(std::string_view attribute) const {
    if (!entity_->attribute(attribute)) throw std::invalid_argument("attributo sconosciuto");
    if (!connection_) throw StoreConnection::SqlError("store closed");
    auto rows = connection_->query("SELECT " + quoted(attribute) + " FROM " + quoted(entity_->name) + " WHERE id = ?",
                                   {id_});
    if (rows.empty()) return std::monostate{};
    return std::move(rows[0][0]);
}

void Record::setColumn(std::string_view attribute, SqlValue value) const {
    if (!entity_->attribute(attribute)) throw std::invalid_argument("attributo sconosciuto");
    if (!connection_) throw StoreConnection::SqlError("store closed");
    connection_->execute("UPDATE " + quoted(entity_->name) + " SET " + quoted(attribute) + " = ? WHERE id = ?",
                         {std::move(value), id_});
}

// Readers: absent on any failure, with a log line; a value of another type is converted.
std::optional<std::string> Record::stringValue(std::string_view attribute) const {
    try {
        SqlValue value = column(attribute);
        if (auto* s = std::get_if<std::string>(&value)) return std::move(*s);
        if (auto* n = std::get_if<long long>(&value)) return std::to_string(*n);
        if (auto* d = std::get_if<double>(&value)) return Decimal::fromDouble(*d).toString();
    } catch (const std::exception& failure) {
        reportFailure(attribute, failure);
    }
    return std::nullopt;
}

std::optional<Decimal> Record::decimalValue(std::string_view attribute) const {
    try {
        SqlValue value = column(attribute);
        if (auto* s = std::get_if<std::string>(&value)) return Decimal::parse(*s);
        if (auto* n = std::get_if<long long>(&value)) return Decimal::fromInteger(*n);
        if (auto* d = std::get_if<double>(&value)) return Decimal::fromDouble(*d);
    } catch (const std::exception& failure) {
        reportFailure(attribute, failure);
    }
    return std::nullopt;
}

std::optional<long long> Record::integerValue(std::string_view attribute) const {
    try {
        return asInteger(column(attribute));
    } catch (const std::exception& failure) {
        reportFailure(attribute, failure);
    }
    return std::nullopt;
}

std::optional<bool> Record::boolValue(std::string_view attribute) const {
    auto n = integerValue(attribute);
    if (!n) return std::nullopt;
    return *n != 0;
}

std::optional<double> Record::doubleValue(std::string_view attribute) const {
    try {
        SqlValue value = column(attribute);
        if (auto* d = std::get_if<double>(&value)) return *d;
        if (auto* n = std::get_if<long long>(&value)) return static_cast<double>(*n);
        if (auto* s = std::get_if<std::string>(&value))
            if (auto decimal = Decimal::parse(*s)) return decimal->toDouble();
    } catch (const std::exception& failure) {
        reportFailure(attribute, failure);
    }
    return std::nullopt;
}

std::optional<Timestamp> Record::dateValue(std::string_view attribute) const {
    auto text = stringValue(attribute);
    if (!text) return std::nullopt;
    return parseIsoDate(*text);
}

std::optional<std::vector<unsigned char>> Record::blobValue(std::string_view attribute) const {
    try {
        SqlValue value = column(attribute);
        if (auto* b = std::get_if<SqlBlob>(&value)) return std::move(b->bytes);
        if (auto* s = std::get_if<std::string>(&value)) return std::vector<unsigned char>(s->begin(), s->end());
    } catch (const std::exception& failure) {
        reportFailure(attribute, failure);
    }
    return std::nullopt;
}

// Writers: a failure is logged and changes nothing.
#define TORVANE_RECORD_SETTER(Method, Type, Convert)                             \
    void Record::Method(std::string_view attribute, std::optional<Type> value) const { \
        try {                                                                    \
            SqlValue stored;                                                     \
            if (value) stored = Convert;                                         \
            setColumn(attribute, std::move(stored));                             \
        } catch (const std::exception& failure) {                                \
            reportFailure(attribute, failure);                                   \
        }                                                                        \
    }

TORVANE_RECORD_SETTER(setStringValue, std::string, std::move(*value))
TORVANE_RECORD_SETTER(setDecimalValue, Decimal, value->toString())
TORVANE_RECORD_SETTER(setIntegerValue, long long, *value)
TORVANE_RECORD_SETTER(setBoolValue, bool, static_cast<long long>(*value ? 1 : 0))
TORVANE_RECORD_SETTER(setDoubleValue, double, *value)
TORVANE_RECORD_SETTER(setDateValue, Timestamp, isoDateString(*value))
TORVANE_RECORD_SETTER(setBlobValue, std::vector<unsigned char>, SqlBlob{std::move(*value)})
#undef TORVANE_RECORD_SETTER

const RelationshipDescription* Record::relationshipNamed(std::string_view name) const {
    const RelationshipDescription* relationship = entity_->relationship(name);
    if (!relationship) throw std::invalid_argument("relazione sconosciuta");
    if (!connection_) throw StoreConnection::SqlError("store closed");
    return relationship;
}

std::optional<long long> Record::toOneId(std::string_view name) const {
    try {
        const RelationshipDescription* r = relationshipNamed(name);
        if (r->kind == RelationshipKind::ToOne) {
            auto rows = connection_->query("SELECT " + quoted(r->name) + " FROM " + quoted(entity_->name) +
                                               " WHERE id = ?",
                                           {id_});
            if (rows.empty()) return std::nullopt;
            return asInteger(rows[0][0]);
        }
        if (r->kind == RelationshipKind::ToOneInverse) {
            auto ids = connection_->queryIds("SELECT id FROM " + quoted(r->target) + " WHERE " + quoted(r->inverse) +
                                             " = ? ORDER BY id LIMIT 1",
                                             {id_});
            if (!ids.empty()) return ids.front();
        }
    } catch (const std::exception& failure) {
        reportFailure(name, failure);
    }
    return std::nullopt;
}

void Record::setToOneOrThrow(const RelationshipDescription& r, const std::optional<Record>& target) const {
    if (!connection_) throw StoreConnection::SqlError("store closed");
    std::lock_guard lock(connection_->mutex());
    SqlValue targetId;
    if (target) targetId = target->id();
    if (r.kind == RelationshipKind::ToOneInverse) {
        // One-to-one kept on the other side: unlink the old partner, link the new one.
        connection_->execute("UPDATE " + quoted(r.target) + " SET " + quoted(r.inverse) + " = NULL WHERE " +
                                 quoted(r.inverse) + " = ?",
                             {id_});
        if (target)
            connection_->execute("UPDATE " + quoted(r.target) + " SET " + quoted(r.inverse) + " = ? WHERE id = ?",
                                 {id_, target->id()});
        return;
    }
    if (r.kind != RelationshipKind::ToOne) throw std::invalid_argument("relazione non a uno");
    const EntityDescription* targetEntity = ModelDescription::shared().entity(r.target);
    const RelationshipDescription* inverse = targetEntity ? targetEntity->relationship(r.inverse) : nullptr;
    if (inverse && inverse->kind == RelationshipKind::Ordered) {
        // Appended at the end of the target's ordered relationship.
        std::string position = quoted(ModelDescription::positionColumn(*inverse));
        SqlValue next;
        if (target) {
            auto rows = connection_->query("SELECT COALESCE(MAX(" + position + "), 0) + 1 FROM " +
                                               quoted(entity_->name) + " WHERE " + quoted(r.name) + " = ?",
                                           {target->id()});
            next = rows.at(0).at(0);
        }
        connection_->execute("UPDATE " + quoted(entity_->name) + " SET " + quoted(r.name) + " = ?, " + position +
                                 " = ? WHERE id = ?",
                             {targetId, next, id_});
        return;
    }
    if (inverse && inverse->kind == RelationshipKind::ToOneInverse && target)
        connection_->execute("UPDATE " + quoted(entity_->name) + " SET " + quoted(r.name) + " = NULL WHERE " +
                                 quoted(r.name) + " = ? AND id <> ?",
                             {target->id(), id_});
    connection_->execute("UPDATE " + quoted(entity_->name) + " SET " + quoted(r.name) + " = ? WHERE id = ?",
                         {targetId, id_});
}

void Record::setToOne(std::string_view name, const std::optional<Record>& target) const {
    try {
        setToOneOrThrow(*relationshipNamed(name), target);
    } catch (const std::exception& failure) {
        reportFailure(name, failure);
    }
}

std::vector<long long> Record::toManyIds(std::string_view name) const {
    try {
        const RelationshipDescription* r = relationshipNamed(name);
        switch (r->kind) {
            case RelationshipKind::ToMany:
                return connection_->queryIds("SELECT id FROM " + quoted(r->target) + " WHERE " + quoted(r->inverse) +
                                                 " = ? ORDER BY id",
                                             {id_});
            case RelationshipKind::Ordered:
                return connection_->queryIds("SELECT id FROM " + quoted(r->target) + " WHERE " + quoted(r->inverse) +
                                                 " = ? ORDER BY " + quoted(ModelDescription::positionColumn(*r)) +
                                                 ", id",
                                             {id_});
            case RelationshipKind::ManyToMany:
                return connection_->queryIds("SELECT " + quoted(r->target) + " FROM " + quoted(r->joinTable) +
                                                 " WHERE " + quoted(entity_->name) + " = ? ORDER BY rowid",
                                             {id_});
            default: break;
        }
    } catch (const std::exception& failure) {
        reportFailure(name, failure);
    }
    return {};
}

void Record::addTo(std::string_view name, const Record& target) const {
    try {
        const RelationshipDescription* r = relationshipNamed(name);
        if (r->kind == RelationshipKind::ManyToMany) {
            connection_->execute("INSERT OR IGNORE INTO " + quoted(r->joinTable) + " (" + quoted(entity_->name) +
                                     ", " + quoted(r->target) + ") VALUES (?, ?)",
                                 {id_, target.id()});
        } else if (r->kind == RelationshipKind::ToMany || r->kind == RelationshipKind::Ordered) {
            const RelationshipDescription* inverse = target.entity().relationship(r->inverse);
            if (!inverse) throw std::invalid_argument("relazione senza inversa");
            target.setToOneOrThrow(*inverse, *this);
        }
    } catch (const std::exception& failure) {
        reportFailure(name, failure);
    }
}

void Record::removeFrom(std::string_view name, const Record& target) const {
    try {
        const RelationshipDescription* r = relationshipNamed(name);
        if (r->kind == RelationshipKind::ManyToMany) {
            connection_->execute("DELETE FROM " + quoted(r->joinTable) + " WHERE " + quoted(entity_->name) +
                                     " = ? AND " + quoted(r->target) + " = ?",
                                 {id_, target.id()});
        } else if (r->kind == RelationshipKind::ToMany || r->kind == RelationshipKind::Ordered) {
            connection_->execute("UPDATE " + quoted(r->target) + " SET " + quoted(r->inverse) +
                                     " = NULL WHERE id = ? AND " + quoted(r->inverse) + " = ?",
                                 {target.id(), id_});
        }
    } catch (const std::exception& failure) {
        reportFailure(name, failure);
    }
}

void Record::deleteOrThrow() const {
    if (!connection_) throw StoreConnection::SqlError("store closed");
    connection_->execute("DELETE FROM " + quoted(entity_->name) + " WHERE id = ?", {id_});
}

}  // namespace torvane
