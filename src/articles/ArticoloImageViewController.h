#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class FotoDestinatario;

// An article's full photo on black, fitted to the screen, zoomable from 1 to 9 times and shown
// at 1.3 times when it appears. The photo comes from the session's photo folder; a missing one
// is downloaded meanwhile.

class ArticoloImageViewController : public ui::Screen {
public:
    static constexpr double kMinimumZoom = 1.0, kMaximumZoom = 9.0, kZoomOnAppearing = 1.3;

    ArticoloImageViewController(ui::Ui& ui, const Articolo& articolo, std::shared_ptr<CompanySession> session);
    ~ArticoloImageViewController() override;

    std::string kind() const override { return "photo"; }
    std::vector<ui::Section> sections() const override;
    void viewWillAppear() override;

    // The photo's file; none while it is missing (an empty viewer).
    const std::optional<std::string>& fotoArticolo() const { return foto_; }
    std::optional<std::pair<int, int>> dimensioni() const { return dimensioni_; }
    double zoom() const { return zoom_; }
    // Clamped to 1–9.
    void setZoom(double zoom);

private:
    // Asks for the photo when it is missing (or always, when downloads are forced).
    void carica();
    // Shows what the photo folder holds.
    void mostra();

    Articolo articolo_;
    std::shared_ptr<CompanySession> session_;
    std::optional<std::string> foto_;
    std::optional<std::pair<int, int>> dimensioni_;
    double zoom_ = kMinimumZoom;
    std::shared_ptr<FotoDestinatario> destinatario_;
};

}  // namespace torvane
