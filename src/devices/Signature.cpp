#include "devices/Signature.h"

#include <cairo.h>

#include <charconv>
#include <cmath>
#include <memory>

#include "platform/Format.h"

namespace torvane {

namespace {
cairo_status_t append(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}
}  // namespace

std::string signatureFrameText(const SignatureFrame& frame) {
    // Each value as the shortest text that reads back as the same float: 52.7, not 52.70000076.
    auto text = [](float value) {
        char buffer[32];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        return std::string(buffer, end);
    };
    return format("{{%@, %@}, {%@, %@}}", text(frame.x), text(frame.y), text(frame.width), text(frame.height));
}

std::optional<std::vector<unsigned char>> SignatureRenderer::png(const SignaturePad& pad, double scale,
                                                                 const std::string& date) {
    const int width = std::max(1, static_cast<int>(std::lround(pad.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(pad.height() * scale)));
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    cairo_scale(cr.get(), scale, scale);
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    cairo_set_line_cap(cr.get(), CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr.get(), CAIRO_LINE_JOIN_ROUND);
    for (const auto& stroke : pad.strokes()) {
        if (stroke.size() == 1) {
            cairo_arc(cr.get(), stroke[0].x, stroke[0].y, std::max(stroke[0].thickness, 1.0) / 2, 0, 2 * M_PI);
            cairo_fill(cr.get());
            continue;
        }
        // Each segment takes the thickness of the point it reaches.
        for (std::size_t i = 1; i < stroke.size(); ++i) {
            cairo_set_line_width(cr.get(), std::max(stroke[i].thickness, 0.5));
            cairo_move_to(cr.get(), stroke[i - 1].x, stroke[i - 1].y);
            cairo_line_to(cr.get(), stroke[i].x, stroke[i].y);
            cairo_stroke(cr.get());
        }
    }
    if (!date.empty()) {
        cairo_set_source_rgb(cr.get(), 0.3, 0.3, 0.3);
        cairo_select_font_face(cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr.get(), 11);
        cairo_move_to(cr.get(), 6, pad.height() - 6);
        cairo_show_text(cr.get(), date.c_str());
    }
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    cairo_surface_flush(surface.get());
    std::vector<unsigned char> bytes;
    if (cairo_surface_write_to_png_stream(surface.get(), append, &bytes) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    return bytes;
}

}  // namespace torvane

#include "platform/FontCacheLeakSuppression.h"
