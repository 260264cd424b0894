#include "review/OrderPdfReport.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/NumberFormat.h"
#include "platform/AtomicFile.h"
#include "review/ReportText.h"
#include "rules/LineAmount.h"
#include "store/Database.h"

namespace torvane {

namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
struct FontDeleter {
    void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};
using FontPtr = std::unique_ptr<PangoFontDescription, FontDeleter>;

// Pango refuses text that is not UTF-8; data from a damaged store is mended instead.
std::string validUtf8(const std::string& text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    std::unique_ptr<gchar, decltype(&g_free)> mended(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())),
                                                     g_free);
    return mended ? std::string(mended.get()) : std::string();
}

// One text laid out at the stated width, wrapped at word boundaries (a word longer than the
// width is broken where it must be, so nothing runs off the page).
class TextBlock {
public:
    TextBlock(cairo_t* cr, const PangoFontDescription* font, double width) : layout_(pango_cairo_create_layout(cr)) {
        // Points on the page are user units: lay text out at 72 units per inch.
        pango_cairo_context_set_resolution(pango_layout_get_context(layout_.get()), 72);
        pango_layout_context_changed(layout_.get());
        pango_layout_set_font_description(layout_.get(), font);
        pango_layout_set_width(layout_.get(), static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(layout_.get(), PANGO_WRAP_WORD_CHAR);
        pango_layout_set_alignment(layout_.get(), PANGO_ALIGN_LEFT);
        // The columns read left to right whatever script a text begins with.
        pango_layout_set_auto_dir(layout_.get(), FALSE);
    }
    void setText(const std::string& text) {
        std::string valid = validUtf8(text);
        pango_layout_set_text(layout_.get(), valid.data(), static_cast<int>(valid.size()));
    }
    double height() const {
        int width = 0, height = 0;
        pango_layout_get_size(layout_.get(), &width, &height);
        return static_cast<double>(height) / PANGO_SCALE;
    }
    void drawAt(cairo_t* cr, double x, double y) const {
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, layout_.get());
    }
    // Drawn within the rectangle; what would fall outside it is cut.
    void drawIn(cairo_t* cr, double x, double y, double width, double height) const {
        cairo_save(cr);
        cairo_rectangle(cr, x, y, width, height);
        cairo_clip(cr);
        drawAt(cr, x, y);
        cairo_restore(cr);
    }

private:
    std::unique_ptr<PangoLayout, LayoutDeleter> layout_;
};

FontPtr font(const char* description) { return FontPtr(pango_font_description_from_string(description)); }

// A data text set apart from what is printed around it: a first-strong isolate, closed by a
// pop, which also ends any embedding or override the text left open. A client name holding an
// unterminated right-to-left override so never turns the rest of its line around.
std::string isolated(const std::string& text) { return "\u2068" + text + "\u2069"; }

}  // namespace

bool OrderPdfReport::write(const SceltaTestata& testata, const std::string& path) {
    auto righe = db_.fetchAllSceltaRigaByTestata(testata).value_or(std::vector<SceltaRiga>{});
    Log::f("Report PDF : Scelta %@ - Scelte presenti %d", testata.codice(), static_cast<long long>(righe.size()));
    auto listino = testata.listinoTestata() ? db_.fetchListinoByBarCode(*testata.listinoTestata()) : std::nullopt;
    std::optional<std::string> um = listino ? listino->um() : std::nullopt;
    std::string divisa = listino ? textOf(listino->divisa()) : std::string();

    std::string temporary = temporarySiblingOf(path);
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_pdf_surface_create(temporary.c_str(), kPageWidth, kPageHeight));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        std::remove(temporary.c_str());
        return false;
    }
    std::unique_ptr<cairo_t, ContextDeleter> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();

    auto titleFont = font("Sans Bold 14");
    auto rowFont = font("Sans 11");

    const double contentWidth = kPageWidth - 2 * kMargin;
    TextBlock title(cr, titleFont.get(), contentWidth);
    title.setText(format("Ordine NR.%@ - %@   Listino: %@", testata.codice(),
                         isolated(textOf(testata.clienteRagioneSociale())),
                         isolated(listino ? textOf(listino->descrizione()) : std::string())));
    cairo_set_source_rgb(cr, 0, 0, 0);
    title.drawAt(cr, kMargin, kMargin);
    double ruleY = kMargin + title.height();
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, kMargin, ruleY);
    cairo_line_to(cr, kPageWidth - kMargin, ruleY);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);

    const NumberFormat quantitaFormat("##,##0.00");
    const NumberFormat moneyFormat("####,##0.00");
    TextBlock left(cr, rowFont.get(), 256);
    TextBlock right(cr, rowFont.get(), 246);
    double y = ruleY + 10;
    for (const auto& riga : righe) {
        Log::f("Scelta Riga: %d %@", riga.riga().value_or(0), riga.articolo());
        std::string articolo = hasText(riga.serie())
                                   ? stringByPaddingLeft(format("%@/%@", textOf(riga.articolo()), *riga.serie()), 20)
                                   : format("%-20@", textOf(riga.articolo()));
        left.setText(isolated(articolo) + isolated(stringByPaddingLeft(riga.colore(), 13)));

        std::string unita = "   ";
        if (textOf(riga.colore()) == "T+CC")
            unita = " N.";
        else if (hasText(um))
            unita = stringByPaddingLeft(um, 3);
        auto quantita = riga.quantita();
        auto prezzo = riga.prezzo();
        std::string importo;
        if (auto amount = LineAmount::ofLine(riga)) importo = moneyFormat.format(*amount);
        right.setText(isolated(unita) + format("%@ %@ = %@ %@",
                                     stringByPaddingLeft(format("%@ x", quantita ? quantitaFormat.format(*quantita)
                                                                                 : std::string()),
                                                         10),
                                     stringByPaddingLeft(prezzo ? moneyFormat.format(*prezzo) : std::string(), 11),
                                     isolated(stringByPaddingLeft(divisa, 5)), stringByPaddingLeft(importo, 13)));

        // The taller of the two texts decides, so a wrapped right text never runs into the
        // next row.
        double height = std::max(left.height(), right.height());
        if (y + height > kBottom && y > kMargin) {  // a fresh page takes any row
            cairo_show_page(cr);
            y = kMargin;
        }
        left.drawIn(cr, kMargin, y, 256, kBottom);
        right.drawIn(cr, kMargin + 256 + 10, y, 246, kBottom);
        y += height;
    }

    context.reset();
    cairo_surface_finish(surface.get());
    bool ok = cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS;
    surface.reset();
    if (!ok) {
        std::remove(temporary.c_str());
        return false;
    }
    return replaceFileWith(temporary, path);
}

}  // namespace torvane

#include "platform/FontCacheLeakSuppression.h"
