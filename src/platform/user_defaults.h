#pragma once
// The user defaults domain: persisted values by key, plus a volatile registration domain of
// defaults that reads fall back to. Typed reads follow the platform's conversion rules:
// - boolForKey: a number reads as true when non-zero; a string when it is "YES", "true" or a
//   non-zero integer (case-insensitive); anything else false;
// - integerForKey / doubleForKey: numbers (doubles truncated towards zero for integers, clamped
//   to the integer range, non-finite as 0), booleans as 0/1, strings parsed as a leading number;
//   anything else 0;
// - stringForKey: strings, and numbers printed; anything else nullopt;
// - stringArrayForKey: an array whose elements are all strings; otherwise nullopt.
// Values are JSON values. A change reads back at once; it goes to the backing store at the end of
// the main loop's current instant, together with every other change of that instant (one save),
// or at synchronize(), or when the domain goes.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "runtime/lifetime.h"

namespace quillmar::platform {

using DefaultsValue = nlohmann::json;

// What a store holds: each value is built when it is first asked for, so a domain of a million
// keys costs the few the program reads. A key asked for later reads as the store last found it.
class StoredDefaults {
public:
    virtual ~StoredDefaults() = default;
    // The value stored for key; nullopt when there is none (or none that reads as a value).
    virtual std::optional<DefaultsValue> find(const std::string& key) const = 0;
    // Every value stored, built (tests and tools).
    virtual std::map<std::string, DefaultsValue> all() const = 0;
};

// Values held in a map.
class StoredDefaultsMap final : public StoredDefaults {
public:
    explicit StoredDefaultsMap(std::map<std::string, DefaultsValue> values = {}) : values_(std::move(values)) {}
    std::optional<DefaultsValue> find(const std::string& key) const override;
    std::map<std::string, DefaultsValue> all() const override { return values_; }

private:
    std::map<std::string, DefaultsValue> values_;
};

// Where persisted values live between runs.
class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;
    // Everything stored. A store that cannot be read returns what it could recover (or nothing).
    virtual std::shared_ptr<const StoredDefaults> load() = 0;
    // Persists the changes of the keys in `changed`: each takes its value in `values`, and one
    // missing there was removed; other keys are not looked at. Returns false when the write failed
    // (the old contents stay, and the changes are kept for the next save).
    virtual bool save(const std::map<std::string, DefaultsValue>& values, const std::vector<std::string>& changed) = 0;
    // After a change of every key in values.
    bool save(const std::map<std::string, DefaultsValue>& values);
};

// Keeps values for the life of the process only (tests).
class InMemoryDefaultsStore final : public DefaultsStore {
public:
    using DefaultsStore::save;
    std::shared_ptr<const StoredDefaults> load() override { return std::make_shared<StoredDefaultsMap>(values_); }
    bool save(const std::map<std::string, DefaultsValue>& values, const std::vector<std::string>& changed) override;
    int saveCount() const { return saveCount_; }

private:
    std::map<std::string, DefaultsValue> values_;
    int saveCount_ = 0;
};

class UserDefaults {
public:
    // An in-memory domain unless another store was given.
    explicit UserDefaults(std::unique_ptr<DefaultsStore> store = std::make_unique<InMemoryDefaultsStore>());
    // Saves what has not been saved yet.
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The process's standard domain (World::install<UserDefaults> replaces it).
    static UserDefaults& standard();

    void registerDefaults(const std::map<std::string, DefaultsValue>& defaults);

    // The persisted value, else the registered default.
    std::optional<DefaultsValue> object(const std::string& key) const;
    // Whether a value is persisted for key (registered defaults do not count).
    bool hasPersistedValue(const std::string& key) const;

    bool boolForKey(const std::string& key) const;
    long long integerForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<std::vector<std::string>> stringArrayForKey(const std::string& key) const;

    void set(const std::string& key, DefaultsValue value);
    // Sets every key of values as one change.
    void setValues(const std::map<std::string, DefaultsValue>& values);
    void removeObject(const std::string& key);

    // Saves the changes not saved yet, now: false when the store could not keep them.
    bool synchronize();

    // Changes made (a key set or removed, or several set together), saved or not.
    int writeCount() const { return writeCount_; }
    DefaultsStore& store() { return *store_; }

    // Conversion rules, shared with anything else that reads loosely typed values.
    static bool toBool(const DefaultsValue& v);
    static long long toInteger(const DefaultsValue& v);
    static double toDouble(const DefaultsValue& v);

private:
    void changed(const std::string& key);
    // The persisted value of key (nullopt: none): read from the store the first time key is asked
    // for, as the store holds it then (what it last read or wrote), and kept from then on.
    const std::optional<DefaultsValue>& persisted(const std::string& key) const;

    std::unique_ptr<DefaultsStore> store_;
    std::shared_ptr<const StoredDefaults> stored_;
    // The values read from stored_ so far and those set or removed since (nullopt: none).
    mutable std::map<std::string, std::optional<DefaultsValue>> values_;
    std::map<std::string, DefaultsValue> registered_;
    int writeCount_ = 0;
    // Keys changed since the last save, and whether a save waits for the end of the instant.
    std::set<std::string> unsaved_;
    bool saveScheduled_ = false;
    runtime::Lifetime lifetime_;
};

}  // namespace quillmar::platform
