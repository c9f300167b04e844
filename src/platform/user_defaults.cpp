#include "platform/user_defaults.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "runtime/main_loop.h"
#include "runtime/text_case.h"
#include "runtime/world.h"

namespace quillmar::platform {

bool DefaultsStore::save(const std::map<std::string, DefaultsValue>& values) {
    std::vector<std::string> keys;
    keys.reserve(values.size());
    for (const auto& [k, v] : values) keys.push_back(k);
    return save(values, keys);
}

bool InMemoryDefaultsStore::save(const std::map<std::string, DefaultsValue>& values,
                                 const std::vector<std::string>& changed) {
    for (const auto& key : changed) {
        if (auto it = values.find(key); it != values.end())
            values_[key] = it->second;
        else
            values_.erase(key);
    }
    ++saveCount_;
    return true;
}

std::optional<DefaultsValue> StoredDefaultsMap::find(const std::string& key) const {
    if (auto it = values_.find(key); it != values_.end()) return it->second;
    return std::nullopt;
}

UserDefaults::UserDefaults(std::unique_ptr<DefaultsStore> store) : store_(std::move(store)) {
    if (!store_) store_ = std::make_unique<InMemoryDefaultsStore>();
    stored_ = store_->load();
    if (!stored_) stored_ = std::make_shared<StoredDefaultsMap>();
}

UserDefaults::~UserDefaults() {
    lifetime_.end();
    synchronize();
}

bool UserDefaults::synchronize() {
    if (unsaved_.empty()) return true;
    const std::vector<std::string> keys(unsaved_.begin(), unsaved_.end());
    unsaved_.clear();
    std::map<std::string, DefaultsValue> values;
    for (const auto& key : keys)
        if (const auto& value = persisted(key)) values.emplace(key, *value);
    return store_->save(values, keys);
}

void UserDefaults::changed(const std::string& key) {
    unsaved_.insert(key);
    if (saveScheduled_) return;
    saveScheduled_ = true;
    runtime::MainLoop::main().atEndOfInstant([this, token = lifetime_.token()] {
        if (!token.alive()) return;
        saveScheduled_ = false;
        synchronize();
    });
}

UserDefaults& UserDefaults::standard() { return runtime::World::shared<UserDefaults>(); }

void UserDefaults::registerDefaults(const std::map<std::string, DefaultsValue>& defaults) {
    for (const auto& [k, v] : defaults) registered_[k] = v;
}

const std::optional<DefaultsValue>& UserDefaults::persisted(const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) it = values_.emplace(key, stored_->find(key)).first;
    return it->second;
}

bool UserDefaults::hasPersistedValue(const std::string& key) const { return persisted(key).has_value(); }

std::optional<DefaultsValue> UserDefaults::object(const std::string& key) const {
    if (const auto& value = persisted(key)) return value;
    if (auto it = registered_.find(key); it != registered_.end()) return it->second;
    return std::nullopt;
}

namespace {
// The leading number of a string ("12abc" -> 12), as the platform reads numeric strings.
double leadingNumber(const std::string& s) {
    const char* begin = s.c_str();
    char* end = nullptr;
    double d = std::strtod(begin, &end);
    return end == begin || !std::isfinite(d) ? 0.0 : d;
}
}  // namespace

bool UserDefaults::toBool(const DefaultsValue& v) {
    if (v.is_boolean()) return v.get<bool>();
    if (v.is_number()) return v.get<double>() != 0.0;
    if (v.is_string()) {
        auto s = runtime::lowercased(v.get<std::string>());
        if (s == "yes" || s == "true") return true;
        // The integer part of the leading number decides: "0.5" is false, "1e30" true.
        return std::trunc(leadingNumber(s)) != 0.0;
    }
    return false;
}

double UserDefaults::toDouble(const DefaultsValue& v) {
    if (v.is_boolean()) return v.get<bool>() ? 1.0 : 0.0;
    if (v.is_number()) {
        double d = v.get<double>();
        return std::isfinite(d) ? d : 0.0;
    }
    if (v.is_string()) return leadingNumber(v.get<std::string>());
    return 0.0;
}

long long UserDefaults::toInteger(const DefaultsValue& v) {
    if (v.is_number_unsigned()) {
        // Above the signed range (a hand-edited file, say): clamp rather than wrap to a negative.
        const auto u = v.get<unsigned long long>();
        return u > static_cast<unsigned long long>(std::numeric_limits<long long>::max())
                   ? std::numeric_limits<long long>::max()
                   : static_cast<long long>(u);
    }
    if (v.is_number_integer()) return v.get<long long>();
    const double d = std::trunc(toDouble(v));
    constexpr double lo = static_cast<double>(std::numeric_limits<long long>::min());
    constexpr double hi = 9.2233720368547748e18;  // largest double below 2^63
    return std::isnan(d) ? 0 : static_cast<long long>(std::clamp(d, lo, hi));
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto v = object(key);
    return v && toBool(*v);
}

long long UserDefaults::integerForKey(const std::string& key) const {
    auto v = object(key);
    return v ? toInteger(*v) : 0;
}

double UserDefaults::doubleForKey(const std::string& key) const {
    auto v = object(key);
    return v ? toDouble(*v) : 0.0;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto v = object(key);
    if (!v) return std::nullopt;
    if (v->is_string()) return v->get<std::string>();
    if (v->is_number_unsigned()) return std::to_string(v->get<unsigned long long>());
    if (v->is_number_integer()) return std::to_string(v->get<long long>());
    if (v->is_number()) return v->dump();
    return std::nullopt;
}

std::optional<std::vector<std::string>> UserDefaults::stringArrayForKey(const std::string& key) const {
    auto v = object(key);
    if (!v || !v->is_array()) return std::nullopt;
    std::vector<std::string> out;
    for (const auto& e : *v) {
        if (!e.is_string()) return std::nullopt;
        out.push_back(e.get<std::string>());
    }
    return out;
}

void UserDefaults::set(const std::string& key, DefaultsValue value) {
    values_[key] = std::move(value);
    ++writeCount_;
    changed(key);
}

void UserDefaults::setValues(const std::map<std::string, DefaultsValue>& values) {
    if (values.empty()) return;
    for (const auto& [k, v] : values) {
        values_[k] = v;
        changed(k);
    }
    ++writeCount_;
}

void UserDefaults::removeObject(const std::string& key) {
    if (!hasPersistedValue(key)) return;
    values_[key].reset();
    ++writeCount_;
    changed(key);
}

}  // namespace quillmar::platform
