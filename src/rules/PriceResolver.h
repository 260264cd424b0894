#pragma once

#include <string>

#include "platform/Decimal.h"

namespace torvane {

class Database;

// The price of an article in a price list for a commercial variant and a quantity: a
// quantity surcharge whose range holds the quantity, else the plain price, else 0.
class PriceResolver {
public:
    static Decimal resolve(Database& database, const std::string& listino, const std::string& articolo,
                           const std::string& varianteCommerciale, double quantita);
};

}  // namespace torvane
