#include "rules/BarcodeLengths.h"

#include <string_view>

#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane {

namespace {
long long lengthOr(const Preferences& preferences, std::string_view key, long long fallback) {
    if (!preferences.objectForKey(key)) return fallback;
    return preferences.integerForKey(key);
}
}  // namespace

BarcodeLengths BarcodeLengths::fromPreferences() {
    const Preferences& preferences = Preferences::standard();
    BarcodeLengths lengths;
    lengths.listino = lengthOr(preferences, keys::pref_LENBARCODELISTINO, lengths.listino);
    lengths.articolo = lengthOr(preferences, keys::pref_LENBARCODEARTICOLO, lengths.articolo);
    lengths.articoloSerie = lengthOr(preferences, keys::pref_LENBARCODEARTSERIE, lengths.articoloSerie);
    lengths.colore = lengthOr(preferences, keys::pref_LENBARCODECOLORE, lengths.colore);
    lengths.cliente = lengthOr(preferences, keys::pref_LENBARCODECLIENTE, lengths.cliente);
    return lengths;
}

}  // namespace torvane
