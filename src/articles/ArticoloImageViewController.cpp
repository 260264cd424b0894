#include "articles/ArticoloImageViewController.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "photos/FotoCache.h"
#include "session/CompanySession.h"
#include "platform/Log.h"
#include "platform/Picture.h"
#include "platform/ui/Ui.h"

namespace torvane {

ArticoloImageViewController::ArticoloImageViewController(ui::Ui& ui, const Articolo& articolo,
                                                         std::shared_ptr<CompanySession> session)
    : Screen(ui), articolo_(articolo), session_(std::move(session)) {
    setTitle(articolo.codice().value_or(""));
}

ArticoloImageViewController::~ArticoloImageViewController() {
    if (destinatario_) destinatario_->chiudi();
}

void ArticoloImageViewController::mostra() {
    foto_ = session_ ? FotoCache::suDisco(FotoCache::fileGrande(session_->code(), articolo_)) : std::nullopt;
    dimensioni_.reset();
    if (!foto_) return;
    std::ifstream in(*foto_, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    dimensioni_ = Picture::decodedSize(bytes);
    if (dimensioni_) Log::f("%f,%f", static_cast<double>(dimensioni_->first), static_cast<double>(dimensioni_->second));
}

void ArticoloImageViewController::carica() {
    if (!session_) return;
    Log::f("Path foto: %@", FotoCache::fileGrande(session_->code(), articolo_));
    mostra();
    if (foto_ && !FotoCache::forzato()) return;
    if (!destinatario_) {
        std::weak_ptr<Screen> alive = weak_from_this();
        destinatario_ = std::make_shared<FotoDestinatario>(ui(), [alive](const std::string&) {
            if (auto self = std::static_pointer_cast<ArticoloImageViewController>(alive.lock())) {
                self->mostra();
                self->redraw();
            }
        });
    }
    session_->photos().chiediGrande(session_->code(), articolo_, destinatario_);
}

void ArticoloImageViewController::viewWillAppear() {
    Log::f("Articolo current per Foto: %@", articolo_.codice());
    carica();
    setZoom(kZoomOnAppearing);
}

void ArticoloImageViewController::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, kMinimumZoom, kMaximumZoom);
    redraw();
}

std::vector<ui::Section> ArticoloImageViewController::sections() const {
    ui::Image image;
    if (foto_) image.path = *foto_;
    if (dimensioni_) {
        image.width = dimensioni_->first;
        image.height = dimensioni_->second;
    }
    ui::Row row;
    row.items = {image};
    return {ui::Section{"", "", {row}}};
}

}  // namespace torvane
