// Draws the demonstration company's article photos: a fabric swatch per article (weave drawn
// in the article's two first colours, its code and name on a label), written as a thumbnail
// "<code>-SMALL.jpeg" and a full-size "<code>.jpeg" into the folder given.
//
//   torvane-demo-photos FOLDER < lines "CODE|PATTERN|R,G,B|R,G,B|NAME"
//
// PATTERN is one of tinta, righe, quadri, spina, pois, coste. Only tools/demo/genera_demo.py
// calls it; the images it makes are committed with the documents.
#include <cairo.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

Rgb parseRgb(const std::string& text) {
    int r = 0, g = 0, b = 0;
    std::sscanf(text.c_str(), "%d,%d,%d", &r, &g, &b);
    return {r / 255.0, g / 255.0, b / 255.0};
}

void drawWeave(cairo_t* cr, const std::string& pattern, Rgb a, Rgb b, double size) {
    cairo_set_source_rgb(cr, a.r, a.g, a.b);
    cairo_paint(cr);
    cairo_set_source_rgba(cr, b.r, b.g, b.b, 0.55);
    const double step = size / 12;
    if (pattern == "righe" || pattern == "coste") {
        for (double x = 0; x < size; x += step) cairo_rectangle(cr, x, 0, step * (pattern == "coste" ? 0.5 : 0.25), size);
        cairo_fill(cr);
    } else if (pattern == "quadri") {
        for (double x = 0; x < size; x += step * 2) cairo_rectangle(cr, x, 0, step * 0.6, size);
        for (double y = 0; y < size; y += step * 2) cairo_rectangle(cr, 0, y, size, step * 0.6);
        cairo_fill(cr);
    } else if (pattern == "spina") {
        cairo_set_line_width(cr, step * 0.3);
        for (double x = -size; x < size * 2; x += step) {
            for (double y = 0; y < size; y += step * 2) {
                cairo_move_to(cr, x, y);
                cairo_line_to(cr, x + step, y + step);
                cairo_line_to(cr, x, y + step * 2);
            }
        }
        cairo_stroke(cr);
    } else if (pattern == "pois") {
        for (double x = step / 2; x < size; x += step * 1.5)
            for (double y = step / 2; y < size; y += step * 1.5) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, x, y, step * 0.3, 0, 2 * M_PI);
            }
        cairo_fill(cr);
    }
}

void drawLabel(cairo_t* cr, const std::string& code, const std::string& name, double w, double h) {
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_rectangle(cr, 0, h * 0.74, w, h * 0.26);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, h * 0.1);
    cairo_move_to(cr, w * 0.05, h * 0.86);
    cairo_show_text(cr, code.c_str());
    if (w >= 200) {
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, h * 0.06);
        cairo_move_to(cr, w * 0.05, h * 0.95);
        cairo_show_text(cr, name.c_str());
    }
}

bool writeJpeg(cairo_surface_t* surface, const std::string& path, int quality) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(cairo_image_surface_get_width(surface));
    info.image_height = static_cast<JDIMENSION>(cairo_image_surface_get_height(surface));
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<unsigned char> row(info.image_width * 3);
    while (info.next_scanline < info.image_height) {
        // cairo's RGB24 is a native-endian 32-bit 0x00RRGGBB per pixel.
        const auto* pixels = reinterpret_cast<const uint32_t*>(data + info.next_scanline * stride);
        for (JDIMENSION x = 0; x < info.image_width; ++x) {
            row[x * 3] = (pixels[x] >> 16) & 0xff;
            row[x * 3 + 1] = (pixels[x] >> 8) & 0xff;
            row[x * 3 + 2] = pixels[x] & 0xff;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

bool photo(const std::string& path, int w, int h, int quality, const std::vector<std::string>& f) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    drawWeave(cr, f[1], parseRgb(f[2]), parseRgb(f[3]), std::max(w, h));
    drawLabel(cr, f[0], f[4], w, h);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const bool ok = writeJpeg(surface, path, quality);
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "uso: torvane-demo-photos CARTELLA < righe CODICE|MOTIVO|R,G,B|R,G,B|NOME\n";
        return 2;
    }
    const std::string folder = argv[1];
    std::string line;
    int made = 0;
    while (std::getline(std::cin, line)) {
        std::vector<std::string> fields;
        std::stringstream in(line);
        for (std::string f; std::getline(in, f, '|');) fields.push_back(f);
        if (fields.size() != 5) continue;
        if (!photo(folder + "/" + fields[0] + "-SMALL.jpeg", 96, 96, 70, fields) ||
            !photo(folder + "/" + fields[0] + ".jpeg", 400, 300, 55, fields)) {
            std::cerr << "non riesco a scrivere le foto di " << fields[0] << "\n";
            return 1;
        }
        ++made;
    }
    std::cout << made << " articoli fotografati in " << folder << "\n";
    return 0;
}
