#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace torvane {

// How a key's value is kept.
enum class KeyType { Text, Boolean, Integer, Records, IntegerText };
// Where it lives: the user defaults, or a `Parametro` record of the company store.
enum class KeyPlace { Defaults, Parametro };

struct KeyInfo {
    std::string_view name;
    KeyType type;
    KeyPlace place;
};

// Every preference key (`pref_`) and system key (`SYSTEM_`) of the system, in one place.
// Code names keys through these constants, never through literals of its own.
namespace keys {
inline constexpr std::string_view pref_version = "pref_version";
inline constexpr std::string_view pref_azienda = "pref_azienda";
inline constexpr std::string_view pref_aziendaAttiva = "pref_aziendaAttiva";
inline constexpr std::string_view pref_user = "pref_user";
inline constexpr std::string_view pref_password = "pref_password";
inline constexpr std::string_view pref_agente = "pref_agente";
inline constexpr std::string_view pref_HTTPSERVER = "pref_HTTPSERVER";
inline constexpr std::string_view pref_FIERAHTTPSERVER = "pref_FIERAHTTPSERVER";
inline constexpr std::string_view pref_MODALITAFIERAENABLED = "pref_MODALITAFIERAENABLED";
inline constexpr std::string_view pref_AAARequestEnabled = "pref_AAARequestEnabled";
// The user-profile service: a full URL ("https://host/ios/userProfile").
inline constexpr std::string_view pref_AAASERVER = "pref_AAASERVER";
inline constexpr std::string_view pref_deleteDatabaseEnabled = "pref_deleteDatabaseEnabled";
inline constexpr std::string_view pref_deleteFotoEnabled = "pref_deleteFotoEnabled";
inline constexpr std::string_view pref_deleteOrdiniEnabled = "pref_deleteOrdiniEnabled";
inline constexpr std::string_view pref_demoStatClienteEnabled = "pref_demoStatClienteEnabled";
inline constexpr std::string_view pref_downloadFourStepsEnabled = "pref_downloadFourStepsEnabled";
inline constexpr std::string_view pref_forzaDownloadFotoEnabled = "pref_forzaDownloadFotoEnabled";
inline constexpr std::string_view pref_ANAGRAFICAESTESA = "pref_ANAGRAFICAESTESA";
inline constexpr std::string_view pref_ARTICOLINONESISTENTIENABLED = "pref_ARTICOLINONESISTENTIENABLED";
inline constexpr std::string_view pref_BARCODE80000ENABLED = "pref_BARCODE80000ENABLED";
inline constexpr std::string_view pref_BUSUNITLISTENABLED = "pref_BUSUNITLISTENABLED";
inline constexpr std::string_view pref_CAMBIOAGENTEENABLED = "pref_CAMBIOAGENTEENABLED";
inline constexpr std::string_view pref_CAMBIOLISTINOENABLED = "pref_CAMBIOLISTINOENABLED";
inline constexpr std::string_view pref_COLORIALFANUMERICIENABLED = "pref_COLORIALFANUMERICIENABLED";
inline constexpr std::string_view pref_DESCARTICOLOENABLED = "pref_DESCARTICOLOENABLED";
inline constexpr std::string_view pref_DESCCOLOREENABLED = "pref_DESCCOLOREENABLED";
inline constexpr std::string_view pref_EMAILCC1 = "pref_EMAILCC1";
inline constexpr std::string_view pref_EMAILCC2 = "pref_EMAILCC2";
inline constexpr std::string_view pref_EMAILXML = "pref_EMAILXML";
inline constexpr std::string_view pref_ESPOSIZIONEENABLED = "pref_ESPOSIZIONEENABLED";
inline constexpr std::string_view pref_FIRMAENABLED = "pref_FIRMAENABLED";
inline constexpr std::string_view pref_FOTOURL = "pref_FOTOURL";
inline constexpr std::string_view pref_IMPORTANZAENABLED = "pref_IMPORTANZAENABLED";
inline constexpr std::string_view pref_INFOCOMMENABLED = "pref_INFOCOMMENABLED";
inline constexpr std::string_view pref_INVIOMAILENABLED = "pref_INVIOMAILENABLED";
inline constexpr std::string_view pref_LENBARCODEARTICOLO = "pref_LENBARCODEARTICOLO";
inline constexpr std::string_view pref_LENBARCODEARTSERIE = "pref_LENBARCODEARTSERIE";
inline constexpr std::string_view pref_LENBARCODECLIENTE = "pref_LENBARCODECLIENTE";
inline constexpr std::string_view pref_LENBARCODECOLORE = "pref_LENBARCODECOLORE";
inline constexpr std::string_view pref_LENBARCODELISTINO = "pref_LENBARCODELISTINO";
inline constexpr std::string_view pref_MANIFESTAZIONE = "pref_MANIFESTAZIONE";
inline constexpr std::string_view pref_NEGOZIOEQDESTENABLED = "pref_NEGOZIOEQDESTENABLED";
inline constexpr std::string_view pref_NOTE = "pref_NOTE";
inline constexpr std::string_view pref_NOTEENABLED = "pref_NOTEENABLED";
inline constexpr std::string_view pref_NUOVOCLIENTEDISABLED = "pref_NUOVOCLIENTEDISABLED";
inline constexpr std::string_view pref_ORDINESALDATOENABLED = "pref_ORDINESALDATOENABLED";
inline constexpr std::string_view pref_PRIORITAENABLED = "pref_PRIORITAENABLED";
inline constexpr std::string_view pref_REPORTHTMLCONFOTOENABLED = "pref_REPORTHTMLCONFOTOENABLED";
inline constexpr std::string_view pref_REPORTHTMLCONPREZZIENABLED = "pref_REPORTHTMLCONPREZZIENABLED";
inline constexpr std::string_view pref_REPORTHTMLENABLED = "pref_REPORTHTMLENABLED";
inline constexpr std::string_view pref_REPORTPDFENABLED = "pref_REPORTPDFENABLED";
inline constexpr std::string_view pref_REPORTTXTENABLED = "pref_REPORTTXTENABLED";
inline constexpr std::string_view pref_RICERCAARTICOLONUMERICAENABLED = "pref_RICERCAARTICOLONUMERICAENABLED";
inline constexpr std::string_view pref_SERIEALFANUMERICHEENABLED = "pref_SERIEALFANUMERICHEENABLED";
inline constexpr std::string_view pref_SUBITONOTEENABLED = "pref_SUBITONOTEENABLED";
inline constexpr std::string_view pref_TCCCONFERMAUNOENABLED = "pref_TCCCONFERMAUNOENABLED";
inline constexpr std::string_view pref_TCCENABLED = "pref_TCCENABLED";
inline constexpr std::string_view pref_TIPOORDINE = "pref_TIPOORDINE";
// The serial lines (/dev/ttyUSB0, /dev/rfcomm0) the sled and the handheld scanner read from.
inline constexpr std::string_view pref_SLEDDEVICE = "pref_SLEDDEVICE";
inline constexpr std::string_view pref_BTSCANNERDEVICE = "pref_BTSCANNERDEVICE";
// A scanner in keyboard mode: whether fast bursts of keys are taken as scans, and the longest
// pause between two of their characters.
inline constexpr std::string_view pref_WEDGEENABLED = "pref_WEDGEENABLED";
inline constexpr std::string_view pref_WEDGEMAXINTERVALMS = "pref_WEDGEMAXINTERVALMS";
// The signing pad takes a pen's pressure into a stroke's thickness only when this is set.
inline constexpr std::string_view pressureEnabled = "pressureEnabled";
// Outgoing mail: the server as an smtp:// or smtps:// URL, its login, the sender address, and
// whether messages may be kept in the outbox to be sent later (on unless switched off), and a
// company certificate file trusted besides the system's authorities.
inline constexpr std::string_view pref_SMTPSERVER = "pref_SMTPSERVER";
inline constexpr std::string_view pref_SMTPUSER = "pref_SMTPUSER";
inline constexpr std::string_view pref_SMTPPASSWORD = "pref_SMTPPASSWORD";
inline constexpr std::string_view pref_SMTPFROM = "pref_SMTPFROM";
inline constexpr std::string_view pref_OUTBOXENABLED = "pref_OUTBOXENABLED";
inline constexpr std::string_view pref_SMTPCAFILE = "pref_SMTPCAFILE";
inline constexpr std::string_view SYSTEM_AAA = "SYSTEM_AAA";
inline constexpr std::string_view SYSTEM_ProgressivoCliente = "SYSTEM_ProgressivoCliente";
inline constexpr std::string_view SYSTEM_ProgressivoOrdine = "SYSTEM_ProgressivoOrdine";
inline constexpr std::string_view SYSTEM_DATAULTIMOAAGGIORNAMENTO = "SYSTEM_DATAULTIMOAAGGIORNAMENTO";

// The per-user marker of a loaded input document: "SYSTEM_<user>_<document>".
inline constexpr std::string_view SYSTEM_documentMarkerFormat = "SYSTEM_%@_%@";
}  // namespace keys

inline constexpr std::array<KeyInfo, 73> kAllKeys{{
    {keys::pref_version, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_azienda, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_aziendaAttiva, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_user, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_password, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_agente, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_HTTPSERVER, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_FIERAHTTPSERVER, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_MODALITAFIERAENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_AAARequestEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_AAASERVER, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_deleteDatabaseEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_deleteFotoEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_deleteOrdiniEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_demoStatClienteEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_downloadFourStepsEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_forzaDownloadFotoEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_ANAGRAFICAESTESA, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_ARTICOLINONESISTENTIENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_BARCODE80000ENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_BUSUNITLISTENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_CAMBIOAGENTEENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_CAMBIOLISTINOENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_COLORIALFANUMERICIENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_DESCARTICOLOENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_DESCCOLOREENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_EMAILCC1, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_EMAILCC2, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_EMAILXML, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_ESPOSIZIONEENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_FIRMAENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_FOTOURL, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_IMPORTANZAENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_INFOCOMMENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_INVIOMAILENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_LENBARCODEARTICOLO, KeyType::Integer, KeyPlace::Defaults},
    {keys::pref_LENBARCODEARTSERIE, KeyType::Integer, KeyPlace::Defaults},
    {keys::pref_LENBARCODECLIENTE, KeyType::Integer, KeyPlace::Defaults},
    {keys::pref_LENBARCODECOLORE, KeyType::Integer, KeyPlace::Defaults},
    {keys::pref_LENBARCODELISTINO, KeyType::Integer, KeyPlace::Defaults},
    {keys::pref_MANIFESTAZIONE, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_NEGOZIOEQDESTENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_NOTE, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_NOTEENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_NUOVOCLIENTEDISABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_ORDINESALDATOENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_PRIORITAENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_REPORTHTMLCONFOTOENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_REPORTHTMLCONPREZZIENABLED, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_REPORTHTMLENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_REPORTPDFENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_REPORTTXTENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_RICERCAARTICOLONUMERICAENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_SERIEALFANUMERICHEENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_SUBITONOTEENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_TCCCONFERMAUNOENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_TCCENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_TIPOORDINE, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_SLEDDEVICE, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_BTSCANNERDEVICE, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_WEDGEENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_WEDGEMAXINTERVALMS, KeyType::Integer, KeyPlace::Defaults},
    {keys::pressureEnabled, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_SMTPSERVER, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_SMTPUSER, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_SMTPPASSWORD, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_SMTPFROM, KeyType::Text, KeyPlace::Defaults},
    {keys::pref_OUTBOXENABLED, KeyType::Boolean, KeyPlace::Defaults},
    {keys::pref_SMTPCAFILE, KeyType::Text, KeyPlace::Defaults},
    {keys::SYSTEM_AAA, KeyType::Records, KeyPlace::Defaults},
    {keys::SYSTEM_ProgressivoCliente, KeyType::IntegerText, KeyPlace::Parametro},
    {keys::SYSTEM_ProgressivoOrdine, KeyType::IntegerText, KeyPlace::Parametro},
    {keys::SYSTEM_DATAULTIMOAAGGIORNAMENTO, KeyType::Text, KeyPlace::Parametro},
}};

// The entry of a key of the table; none for names outside it.
std::optional<KeyInfo> keyInfo(std::string_view name);

}  // namespace torvane
