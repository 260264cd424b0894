#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;

// An article's stock, one section per colour (colours with the same code share the first
// one's section): choosing a lot hands it to order entry, whose line takes its colour and
// quantity, and closes the detail.
class DettaglioArticoloViewController : public ui::Screen {
public:
    using Selection = std::function<void(const Giacenza&)>;
    // The one item of a stock row's edit menu, beside copying; it does nothing.
    static constexpr const char* kVoceMenu = "C.I.=27.5";

    // `colore`: the colour to show first (scrolled to 0.3 s after opening).
    DettaglioArticoloViewController(ui::Ui& ui, const Articolo& articolo, std::optional<Colore> colore, Selection onSelect,
                                    std::shared_ptr<CompanySession> session = nullptr);

    std::vector<ui::Section> sections() const override;
    void viewWillAppear() override;
    void didSelectRow(int section, int row) override;

private:
    std::shared_ptr<CompanySession> session_;
    std::optional<Articolo> articolo_;
    std::optional<Colore> colore_;
    Selection onSelect_;
    std::vector<Giacenza> arrGiacenze_;
    std::vector<Colore> arrColori_;
    int numSezColoreCorrente_ = 0;
};

}  // namespace torvane
