#pragma once

#include "order/OrderNavigation.h"

namespace torvane {

// Order entry's way to the review, the client screens and the article screens: the shell
// builds them, so order entry stays below them.
class OrderScreens : public OrderNavigation {
public:
    void openReview(ui::Screen& from, long long codiceTestata, std::shared_ptr<CompanySession> session,
                    ArticoloScelto articolo) override;
    void openClientList(ui::Screen& from, std::shared_ptr<CompanySession> session, ClienteScelto scelto) override;
    void openClientDetail(ui::Screen& from, const Cliente& cliente, std::shared_ptr<CompanySession> session) override;
    void openArticleList(ui::Screen& from, const Listino& listino, std::shared_ptr<CompanySession> session,
                         ArticoloScelto scelto, LottoScelto lotto) override;
    void openArticleDetail(ui::Screen& from, const Articolo& articolo, std::optional<Colore> colore,
                           std::shared_ptr<CompanySession> session, GiacenzaScelta scelta) override;
};

}  // namespace torvane
