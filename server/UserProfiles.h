#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace torvane::fiera {

// The user-profile service for a demonstration or a stand without the maker's service: the
// users of a JSON file, each with a password and the companies it grants:
//   {"utenti": [{"user": "demo", "password": "demo",
//                "aziende": [{"codice": "01", "registeredAddress": "http://…/",
//                             "userLegacyCode": ["AG01"]}]}]}
// A user and password that match get {"aziende": [...]}; anything else an empty list. The
// file is read again at each login, so the operator may change it while the server runs (a
// file that cannot be read then leaves the users read before).
class UserProfiles {
public:
    // The answer to a user and password that match no one.
    static constexpr const char* noCompanies = "{\"aziende\":[]}";

    // Reads the file; the reason in `error` when it cannot be used.
    bool load(const std::string& path, std::string& error);
    std::string answer(const std::string& user, const std::string& password);

private:
    bool read(std::string& error);

    std::string path_;
    std::mutex mutex_;  // logins arrive on the server's threads
    struct Utente {
        std::string user, password, aziende;  // the companies as JSON text
    };
    std::vector<Utente> utenti_;
};

}  // namespace torvane::fiera
