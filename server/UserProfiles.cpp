#include "UserProfiles.h"

#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

namespace torvane::fiera {

bool UserProfiles::load(const std::string& path, std::string& error) {
    path_ = path;
    return read(error);
}

bool UserProfiles::read(std::string& error) {
    const std::string& path = path_;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "non riesco a leggere " + path;
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto document = nlohmann::json::parse(text, nullptr, false);
    const auto found = document.is_object() ? document.find("utenti") : document.end();
    if (!document.is_object() || found == document.end() || !found->is_array()) {
        error = path + ": serve un oggetto con la lista \"utenti\"";
        return false;
    }
    std::vector<Utente> utenti;
    for (const auto& entry : *found) {
        if (!entry.is_object() || !entry.contains("user") || !entry["user"].is_string()) continue;
        Utente utente;
        utente.user = entry["user"].get<std::string>();
        if (entry.contains("password") && entry["password"].is_string()) utente.password = entry["password"].get<std::string>();
        utente.aziende = entry.contains("aziende") && entry["aziende"].is_array() ? entry["aziende"].dump() : "[]";
        utenti.push_back(std::move(utente));
    }
    utenti_ = std::move(utenti);
    return true;
}

std::string UserProfiles::answer(const std::string& user, const std::string& password) {
    std::lock_guard lock(mutex_);
    std::string ignored;
    read(ignored);
    for (const Utente& utente : utenti_)
        if (utente.user == user && utente.password == password) return "{\"aziende\":" + utente.aziende + "}";
    return noCompanies;
}

}  // namespace torvane::fiera
