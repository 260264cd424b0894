#include "app/Autenticazione.h"

#include <curl/curl.h>

#include <nlohmann/json.hpp>

#include "app/CompanyAuthorizations.h"
#include "app/CompanySwitch.h"
#include "platform/CompanyCode.h"
#include "platform/Device.h"
#include "platform/Format.h"
#include "platform/Http.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "store/Database.h"

namespace torvane {

namespace {

using json = nlohmann::json;

constexpr const char* kMasked = "********";

Preferences& prefs() { return Preferences::standard(); }

std::string formEncoded(const std::string& value) {
    std::string encoded;
    for (unsigned char c : value) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            static const char* hex = "0123456789ABCDEF";
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    return encoded;
}

// A long answer is logged by its beginning only, as it came: the parsed answer is never written
// back out (its writer recurses, and 100,000 nested arrays would exhaust the stack).
std::string shortened(const std::string& text) {
    constexpr std::size_t kLogged = 4000;
    return text.size() <= kLogged ? text : text.substr(0, kLogged) + format("... (%d byte)", static_cast<long long>(text.size()));
}

// The service's host, for the connection-error alert.
std::string hostOf(const std::string& url) {
    std::string host;
    if (CURLU* parsed = curl_url()) {
        char* part = nullptr;
        if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
            curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK && part)
            host = part;
        curl_free(part);
        curl_url_cleanup(parsed);
    }
    return host.empty() ? url : host;
}

// A text, whatever the service sent for it: numbers become their text, anything else none.
std::optional<std::string> textOf(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number() || value.is_boolean()) return value.dump();
    return std::nullopt;
}

// An entry of "aziende" as the preferences keep it; none when it is not an object.
std::optional<PreferenceRecord> recordOf(const json& entry) {
    if (!entry.is_object()) return std::nullopt;
    PreferenceRecord record;
    for (const auto& [key, value] : entry.items()) {
        if (value.is_array()) {
            std::vector<std::string> texts;
            for (const json& item : value)
                if (auto text = textOf(item)) texts.push_back(*text);
            record[key] = texts;
        } else if (auto text = textOf(value)) {
            record[key] = *text;
        }
    }
    return record;
}

}  // namespace

std::string Autenticazione::postData(const std::string& user, const std::string& password, const std::string& udid) {
    return "user=" + formEncoded(user) + "&pass=" + formEncoded(password) + "&udid=" + formEncoded(udid);
}

void Autenticazione::mostraLogin(bool orderInProgress) {
    ui::Alert prompt;
    prompt.title = "Login iniziale";
    prompt.message = "Imposta User / Password";
    prompt.buttons = {"Ok"};
    prompt.tag = 1;
    prompt.textFields.push_back({"User", "", ui::Keyboard::Default, false});
    prompt.textFields.push_back({"Password", "", ui::Keyboard::Default, true});
    ui_.showAlert(prompt, [this, orderInProgress](const ui::AlertAnswer& answer) {
        const std::string user = answer.texts.size() > 0 ? answer.texts[0] : "";
        const std::string password = answer.texts.size() > 1 ? answer.texts[1] : "";
        rispostaLogin(user, password, orderInProgress);
    });
}

void Autenticazione::rispostaLogin(const std::string& user, const std::string& password, bool orderInProgress) {
    Log::line("--------- Autenticazione ---------");
    Log::f("Login   : %@", user);
    // The password never reaches the log.
    Log::f("Password: %@", password.empty() ? "" : kMasked);
    if (!autenticazioneWithUser(user, password, orderInProgress)) return;
    const auto utente = prefs().stringForKey(keys::pref_user);
    if (!utente || *utente == CompanySwitch::kPlaceholderUser) return;
    const auto attiva = prefs().stringForKey(keys::pref_aziendaAttiva);
    const auto richiesta = prefs().stringForKey(keys::pref_azienda);
    if (attiva && attiva == richiesta) {
        openStore();
        return;
    }
    if (richiesta && !orderInProgress)
        if (auto found = CompanyAuthorizations::find(prefs(), *richiesta, "")) CompanyAuthorizations::activate(prefs(), *found);
    openStore();
}

void Autenticazione::openStore() {
    if (openStore_) openStore_();
    else Database::initDatabase();
}

bool Autenticazione::autenticazioneWithUser(const std::string& user, const std::string& password, bool orderInProgress) {
    const std::string udid = Device::identifier();
    const std::string body = postData(user, password, udid);
    Log::f("PostData: %@", postData(user, password.empty() ? "" : kMasked, udid));
    const std::string url = prefs().stringForKey(keys::pref_AAASERVER).value_or("");
    HttpResponse response;
    if (!url.empty())
        response = Http::post(url, body, {"Content-Type: application/x-www-form-urlencoded; charset=utf-8"}, Http::defaultTimeout);
    if (url.empty() || !response.data || response.status >= 400) {
        Log::f("Errore durante la request: %@", url.empty() ? std::string("indirizzo del servizio non impostato") : response.error);
        ui_.showAlert(ui::Alert::simple(
            "Errore Connessione", format("Non riesco a raggiungere il servizio utenti (%@)", url.empty() ? "nessun indirizzo" : hostOf(url)),
            "OK"));
        return false;
    }
    Log::f("Response ==> %@", shortened(*response.data));
    const json answer = json::parse(*response.data, nullptr, false);
    if (answer.is_array()) {
        Log::line("its an array!");
        Log::f("jsonArray - %@", shortened(*response.data));
        return false;
    }
    Log::line("its probably a dictionary");
    const json* aziende = nullptr;
    if (answer.is_object())
        if (auto found = answer.find("aziende"); found != answer.end() && found->is_array()) aziende = &*found;
    Log::f("AAA Trovate N. %d autorizzazioni", static_cast<long long>(aziende ? aziende->size() : 0));
    if (!aziende || aziende->empty()) {
        ui_.showAlert(ui::Alert::simple("Errore Autorizzazione", "Utente non autorizzato !!", "OK"));
        return false;
    }
    PreferenceRecords records;
    for (const json& entry : *aziende)
        if (auto record = recordOf(entry)) records.push_back(std::move(*record));
    prefs().setObject(keys::SYSTEM_AAA, records);
    prefs().synchronize();

    std::string concesse;
    int contate = 0;
    bool tieniAttiva = false;
    for (const PreferenceRecord& record : records) {
        const std::string codice = CompanyAuthorizations::code(record);
        Log::f("AAA Azienda=%@", codice);
        // An entry without a code names no company: it would make "" the active one.
        if (codice.empty() || codice == CompanyAuthorizations::kIgnoredCompany) continue;
        // A code that is not plain would name files outside the company's own.
        if (!CompanyCode::checked(codice, "servizio utenti")) continue;
        const std::string indirizzo = CompanyAuthorizations::serverAddress(record);
        Log::f("AAA HTTP   =%@", indirizzo);
        const std::string agenti = CompanyAuthorizations::agentCodes(record);
        Log::f("AAA Agente =%@", agenti);
        concesse += format(" %@", codice);
        if (++contate == 1) {
            prefs().setString(keys::pref_user, user);
            prefs().setString(keys::pref_password, password);
            const std::string attiva = prefs().stringForKey(keys::pref_aziendaAttiva).value_or("");
            tieniAttiva = orderInProgress && !attiva.empty() && attiva != codice;
            if (tieniAttiva) {
                prefs().setString(keys::pref_azienda, attiva);
                prefs().synchronize();
                continue;
            }
            prefs().setString(keys::pref_aziendaAttiva, codice);
            prefs().setString(keys::pref_azienda, codice);
            prefs().setString(keys::pref_agente, agenti);
            prefs().setString(keys::pref_HTTPSERVER, indirizzo);
            prefs().synchronize();
        }
    }
    Log::f("jsonDictionary - %@", shortened(*response.data));
    if (contate == 0)
        ui_.showAlert(ui::Alert::simple("Spiacente, non hai Autorizzazioni !!", "Contatta Velmora o usa Modalita' Fiera/Demo", "OK"));
    else
        ui_.showAlert(ui::Alert::simple("Autorizzazione concessa !!", format(contate == 1 ? "(Azienda:%@)" : "(Aziende:%@)", concesse),
                                        "Procedi con la Sincronizzazione ..."));
    if (tieniAttiva)
        ui_.showAlert(ui::Alert::simple("Attenzione: non posso cambiare Database!!!", "Prima termina l'Ordine in corso",
                                        "Continua"));
    return true;
}

}  // namespace torvane
