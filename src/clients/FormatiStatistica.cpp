#include "clients/FormatiStatistica.h"

#include <algorithm>
#include <limits>

#include "platform/Format.h"
#include "platform/NumberFormat.h"

namespace torvane::formati {

namespace {

const Decimal kZero;
const Decimal kCento = Decimal::fromInteger(100);

// The digits of |value| × 10^scale, without sign or point.
std::string cifreScalate(const Decimal& value, int scale) {
    std::string text = value.abs().toFixed(scale);
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

unsigned __int128 comeIntero(const std::string& digits) {
    unsigned __int128 n = 0;
    for (char c : digits) n = n * 10 + static_cast<unsigned>(c - '0');
    return n;
}

}  // namespace

Decimal intero(const Decimal& value) {
    Decimal whole = value.rounded(0);
    if (whole.abs() > value.abs()) whole = value.isNegative() ? whole + Decimal::fromInteger(1)
                                                              : whole - Decimal::fromInteger(1);
    return whole;
}

long long interoComeNumero(const Decimal& value) {
    const Decimal whole = intero(value);
    static const Decimal kMassimo = Decimal::fromInteger(std::numeric_limits<long long>::max());
    static const Decimal kMinimo = Decimal::fromInteger(std::numeric_limits<long long>::min());
    if (whole >= kMassimo) return std::numeric_limits<long long>::max();
    if (whole <= kMinimo) return std::numeric_limits<long long>::min();
    return std::stoll(whole.toString());
}

Decimal prezzoAlMetro(const Decimal& valore, const Decimal& quantita) {
    if (quantita <= kZero || valore.isZero()) return kZero;
    // Long division of the two scaled to whole numbers: |v| × 10^s × 10 by |q| × 10^s, so the
    // quotient counts tenths. The divisor must stay small enough for the remainder's steps.
    int scale = std::min(std::max(valore.scale(), quantita.scale()), 12);
    std::string divisore = cifreScalate(quantita, scale);
    while (divisore.size() > 36 && scale > 0) divisore = cifreScalate(quantita, --scale);
    const unsigned __int128 d = comeIntero(divisore);
    if (d == 0) return kZero;  // a quantity too small to count at this scale
    const std::string dividendo = cifreScalate(valore, scale) + "0";
    std::string quoziente;
    unsigned __int128 resto = 0;
    for (char c : dividendo) {
        resto = resto * 10 + static_cast<unsigned>(c - '0');
        quoziente += static_cast<char>('0' + static_cast<int>(resto / d));
        resto %= d;
    }
    const auto first = quoziente.find_first_not_of('0');
    quoziente = first == std::string::npos ? "0" : quoziente.substr(first);
    if (quoziente.size() > 36) return valore.isNegative() ? Decimal::parse(std::string(36, '9'))->negated()
                                                          : *Decimal::parse(std::string(36, '9'));
    const std::string interi = quoziente.size() > 1 ? quoziente.substr(0, quoziente.size() - 1) : std::string("0");
    Decimal decimi = Decimal::parse(interi + "." + quoziente.back()).value_or(kZero);
    if (resto * 2 >= d) decimi += *Decimal::parse("0.1");  // half up
    return valore.isNegative() ? decimi.negated() : decimi;
}

std::string valori(const Decimal& value) {
    static const NumberFormat kFormato("#,###,##0");
    return kFormato.format(intero(value));
}

std::string valoriOVuoto(const Decimal& value) {
    const Decimal whole = intero(value);
    return whole.isZero() ? std::string() : valori(whole);
}

std::string esposizione(const Decimal& value) {
    static const NumberFormat kFormato("#,###,##0.00");
    return kFormato.format(intero(value));
}

std::string quantita(const Decimal& value) {
    static const NumberFormat kFormato("##,##0");
    return kFormato.format(intero(value));
}

std::string pezzi(const Decimal& value, int larghezza) {
    return format(larghezza == 3 ? "%3d" : "%4d", interoComeNumero(value));
}

std::string prezzo(const Decimal& prm) {
    static const NumberFormat kFormato("##0.0");
    return kFormato.format(prm);
}

std::string prezzoTotale(const Decimal& prm) {
    static const NumberFormat kGrande("##0");
    return prm >= kCento ? kGrande.format(prm) : prezzo(prm);
}

std::string prezzoConPunto(const Decimal& prm) {
    std::string text = prm.toFixed(1);
    if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
    return text;
}

}  // namespace torvane::formati
