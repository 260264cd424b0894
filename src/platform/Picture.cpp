#include "platform/Picture.h"

#include <cairo.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace torvane {

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface noSurface() { return Surface(nullptr, cairo_surface_destroy); }

struct PngReader {
    const std::vector<unsigned char>& bytes;
    std::size_t at = 0;
};

cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->bytes.size() - reader->at < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes.data() + reader->at, length);
    reader->at += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t writePng(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::vector<unsigned char>*>(closure)->insert(static_cast<std::vector<unsigned char>*>(closure)->end(),
                                                              data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

bool isPng(const std::vector<unsigned char>& bytes) {
    static const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return bytes.size() > sizeof signature && std::memcmp(bytes.data(), signature, sizeof signature) == 0;
}

bool isJpeg(const std::vector<unsigned char>& bytes) {
    return bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

// The width and height a PNG declares, read before cairo decodes it: a small file may declare
// a picture far too large to hold.
std::optional<std::pair<int, int>> declaredPngSize(const std::vector<unsigned char>& bytes) {
    if (!isPng(bytes) || bytes.size() < 24) return std::nullopt;
    auto word = [&](std::size_t at) {
        return static_cast<long long>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
    };
    const long long width = word(16), height = word(20);
    if (width <= 0 || height <= 0 || width > 1'000'000 || height > 1'000'000) return std::nullopt;
    return std::pair<int, int>(static_cast<int>(width), static_cast<int>(height));
}

Surface decodePng(const std::vector<unsigned char>& bytes) {
    PngReader reader{bytes};
    Surface surface(cairo_image_surface_create_from_png_stream(readPng, &reader), cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return noSurface();
    return surface;
}

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpegFailed(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr, int) {}

// Decoded into a cairo surface one scan line at a time. libjpeg reports errors by a long
// jump: nothing with a destructor lives between the jump and its target.
Surface decodeJpeg(const std::vector<unsigned char>& bytes) {
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFailed;
    errors.manager.emit_message = jpegQuiet;
    // Set after the jump target: volatile, so its value survives the jump.
    cairo_surface_t* volatile surface = nullptr;
    std::vector<unsigned char>* const line = new std::vector<unsigned char>();
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        delete line;
        if (surface) cairo_surface_destroy(surface);
        return noSurface();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > static_cast<unsigned>(Picture::kMaxSide) ||
        info.image_height > static_cast<unsigned>(Picture::kMaxSide)) {
        jpeg_destroy_decompress(&info);
        delete line;
        return noSurface();
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(info.output_width),
                                         static_cast<int>(info.output_height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        jpeg_destroy_decompress(&info);
        delete line;
        cairo_surface_destroy(surface);
        return noSurface();
    }
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    line->resize(static_cast<std::size_t>(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        unsigned char* row = line->data();
        const unsigned int y = info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
        auto* out = reinterpret_cast<uint32_t*>(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride));
        for (unsigned int x = 0; x < info.output_width; ++x)
            out[x] = 0xFF000000u | static_cast<uint32_t>(row[3 * x]) << 16 | static_cast<uint32_t>(row[3 * x + 1]) << 8 |
                     row[3 * x + 2];
    }
    cairo_surface_mark_dirty(surface);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    delete line;
    return Surface(surface, cairo_surface_destroy);
}

bool withinLimits(const std::optional<std::pair<int, int>>& size) {
    return size && size->first <= Picture::kMaxSide && size->second <= Picture::kMaxSide;
}

// A PNG or a JPEG within the limits, decoded; none for anything else.
Surface decodeWithinLimits(const std::vector<unsigned char>& bytes) {
    if (isPng(bytes)) return withinLimits(declaredPngSize(bytes)) ? decodePng(bytes) : noSurface();
    if (isJpeg(bytes)) return decodeJpeg(bytes);
    return noSurface();
}

// Channel of a premultiplied pixel laid over white: a transparent signature background
// becomes the paper it is drawn on, not black.
unsigned char overWhite(uint32_t pixel, int shift) {
    const uint32_t alpha = pixel >> 24;
    return static_cast<unsigned char>(((pixel >> shift) & 0xFF) + (255 - alpha));
}

// Encoded one scan line at a time; as in decoding, nothing with a destructor lives between
// libjpeg's long jump and its target.
std::optional<std::vector<unsigned char>> encodeJpeg(cairo_surface_t* surface, int quality) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const unsigned char* pixels = cairo_image_surface_get_data(surface);
    if (!pixels || width <= 0 || height <= 0) return std::nullopt;
    jpeg_compress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFailed;
    errors.manager.emit_message = jpegQuiet;
    // On the heap, so their values are in memory when libjpeg jumps back.
    struct Output {
        unsigned char* bytes = nullptr;
        unsigned long size = 0;
        std::vector<unsigned char> line;
    };
    Output* const out = new Output;
    out->line.resize(static_cast<std::size_t>(width) * 3);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::free(out->bytes);
        delete out;
        return std::nullopt;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out->bytes, &out->size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const auto* in = reinterpret_cast<const uint32_t*>(pixels + static_cast<std::size_t>(info.next_scanline) *
                                                                         static_cast<std::size_t>(stride));
        unsigned char* row = out->line.data();
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = hasAlpha ? in[x] : (in[x] | 0xFF000000u);
            row[3 * x] = overWhite(pixel, 16);
            row[3 * x + 1] = overWhite(pixel, 8);
            row[3 * x + 2] = overWhite(pixel, 0);
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> jpeg(out->bytes, out->bytes + out->size);
    std::free(out->bytes);
    delete out;
    return jpeg;
}

}  // namespace

std::optional<std::vector<unsigned char>> Picture::jpegFromBytes(const std::vector<unsigned char>& bytes, int quality) {
    if (bytes.size() > kMaxBytes) return std::nullopt;
    Surface surface = decodeWithinLimits(bytes);
    if (!surface) return std::nullopt;
    return encodeJpeg(surface.get(), quality);
}

std::optional<std::vector<unsigned char>> Picture::pngFromFile(const std::string& path, std::string& problem) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        problem = "Non riesco a leggere l'immagine " + path;
        return std::nullopt;
    }
    const auto size = static_cast<long long>(in.tellg());
    if (size < 0 || static_cast<unsigned long long>(size) > kMaxBytes) {
        problem = "L'immagine e' troppo grande (al massimo 20 MB)";
        return std::nullopt;
    }
    in.seekg(0);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        problem = "Non riesco a leggere l'immagine " + path;
        return std::nullopt;
    }
    if (isPng(bytes) && !withinLimits(declaredPngSize(bytes))) {
        problem = "L'immagine non e' leggibile o e' troppo grande";
        return std::nullopt;
    }
    Surface surface = decodeWithinLimits(bytes);
    if (!surface) {
        problem = "L'immagine non e' leggibile (servono PNG o JPEG)";
        return std::nullopt;
    }
    std::vector<unsigned char> png;
    if (cairo_surface_write_to_png_stream(surface.get(), writePng, &png) != CAIRO_STATUS_SUCCESS) {
        problem = "Non riesco a convertire l'immagine";
        return std::nullopt;
    }
    return png;
}

std::optional<std::pair<int, int>> Picture::decodedSize(const std::string& data) {
    if (data.size() > kMaxBytes) return std::nullopt;
    const std::vector<unsigned char> bytes(data.begin(), data.end());
    Surface surface = decodeWithinLimits(bytes);
    if (!surface) return std::nullopt;
    return std::pair<int, int>(cairo_image_surface_get_width(surface.get()), cairo_image_surface_get_height(surface.get()));
}

std::optional<std::pair<int, int>> Picture::pngSize(const std::vector<unsigned char>& png) {
    Surface surface = decodePng(png);
    if (!surface) return std::nullopt;
    return std::pair<int, int>(cairo_image_surface_get_width(surface.get()), cairo_image_surface_get_height(surface.get()));
}

}  // namespace torvane
