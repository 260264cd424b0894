#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "store/Entities.h"

namespace torvane {

class CompanySession;
namespace ui {
class Screen;
}

// The screens order entry opens that sit beside or above it: the review of a finished order,
// the client list and detail, the article list and detail. Order entry asks for them here, so
// it never includes them; the application shell gives it the one that builds them. Each opens
// its screen over `from`; a callback hands back what the agent picked there.
class OrderNavigation {
public:
    using ClienteScelto = std::function<void(const Cliente&)>;
    using ArticoloScelto = std::function<void(const Articolo&)>;
    using LottoScelto = std::function<void(const Articolo&, const Giacenza&)>;
    using GiacenzaScelta = std::function<void(const Giacenza&)>;

    virtual ~OrderNavigation() = default;

    // The review of order `codiceTestata`; a size line tapped there comes back as `articolo`.
    virtual void openReview(ui::Screen& from, long long codiceTestata, std::shared_ptr<CompanySession> session,
                            ArticoloScelto articolo) = 0;
    virtual void openClientList(ui::Screen& from, std::shared_ptr<CompanySession> session, ClienteScelto scelto) = 0;
    virtual void openClientDetail(ui::Screen& from, const Cliente& cliente, std::shared_ptr<CompanySession> session) = 0;
    // The articles of `listino`; a lot picked from an article's stock comes back as `lotto`.
    virtual void openArticleList(ui::Screen& from, const Listino& listino, std::shared_ptr<CompanySession> session,
                                 ArticoloScelto scelto, LottoScelto lotto) = 0;
    virtual void openArticleDetail(ui::Screen& from, const Articolo& articolo, std::optional<Colore> colore,
                                   std::shared_ptr<CompanySession> session, GiacenzaScelta scelta) = 0;
};

}  // namespace torvane
