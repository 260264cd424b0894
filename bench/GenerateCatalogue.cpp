// Writes a catalogue document of one of the benchmark sizes:
//   GenerateCatalogue small|medium|large OUTPUT.xml
#include <cstdio>
#include <fstream>

#include "BenchStats.h"
#include "CatalogueGenerator.h"

int main(int argc, char** argv) {
    using namespace torvane::bench;
    const CatalogueSize* size = argc == 3 ? catalogueSize(argv[1]) : nullptr;
    if (!size) {
        std::fprintf(stderr, "uso: %s small|medium|large FILE\n", argv[0]);
        return 2;
    }
    auto start = Clock::now();
    std::string xml = CatalogueGenerator::generate(*size);
    std::ofstream out(argv[2], std::ios::binary);
    out << xml;
    if (!out) {
        std::fprintf(stderr, "non riesco a scrivere %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %.1f MB in %.2f s\n", size->name, static_cast<double>(xml.size()) / 1e6, secondsSince(start));
    return 0;
}
