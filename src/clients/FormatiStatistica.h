#pragma once

#include <string>

#include "platform/Decimal.h"

namespace torvane {

// The figures of the client statistics as the detail screens print them. Every figure stays
// an exact decimal; only the printing truncates or rounds.
namespace formati {

// Towards zero: 1234.56 -> 1234, -2.5 -> -2.
Decimal intero(const Decimal& value);
// The whole part as a machine integer, held at the limits for absurd magnitudes.
long long interoComeNumero(const Decimal& value);

// Price per metre: value / quantity rounded half away from zero to one decimal; 0 when the
// quantity is not above zero (never a division by zero).
Decimal prezzoAlMetro(const Decimal& valore, const Decimal& quantita);

std::string valori(const Decimal& value);                // "#,###,##0" of the whole part
std::string valoriOVuoto(const Decimal& value);          // as above, zero shown as ""
std::string esposizione(const Decimal& value);           // "#,###,##0.00" of the whole part
std::string quantita(const Decimal& value);              // "##,##0" of the whole part
std::string pezzi(const Decimal& value, int larghezza);  // the whole part as "%3d" / "%4d"
std::string prezzo(const Decimal& prm);                  // "##0.0": decimal comma
std::string prezzoTotale(const Decimal& prm);            // "##0" from 100 on, else "##0.0"
std::string prezzoConPunto(const Decimal& prm);          // "%3.1f": decimal point

}  // namespace formati
}  // namespace torvane
