#include "app/OrderScreens.h"

#include "articles/DettaglioArticoloViewController.h"
#include "articles/ElencoArticoliViewController.h"
#include "clients/ApriDettaglioCliente.h"
#include "clients/ElencoClientiViewController.h"
#include "platform/ui/Ui.h"
#include "review/RivediSceltaViewController.h"
#include "session/CompanySession.h"

namespace torvane {

void OrderScreens::openReview(ui::Screen& from, long long codiceTestata, std::shared_ptr<CompanySession> session,
                              ArticoloScelto articolo) {
    auto review = std::make_shared<RivediSceltaViewController>(from.ui(), codiceTestata, std::move(session));
    review->setConsegnaArticolo(std::move(articolo));
    from.ui().push(from, review);
}

void OrderScreens::openClientList(ui::Screen& from, std::shared_ptr<CompanySession> session, ClienteScelto scelto) {
    from.ui().push(from, std::make_shared<ElencoClientiViewController>(from.ui(), std::move(scelto), std::move(session)));
}

void OrderScreens::openClientDetail(ui::Screen& from, const Cliente& cliente, std::shared_ptr<CompanySession> session) {
    apriDettaglioCliente(from, cliente, std::move(session));
}

void OrderScreens::openArticleList(ui::Screen& from, const Listino& listino, std::shared_ptr<CompanySession> session,
                                   ArticoloScelto scelto, LottoScelto lotto) {
    from.ui().push(from, std::make_shared<ElencoArticoliViewController>(from.ui(), listino, std::move(scelto),
                                                                        std::move(session), std::move(lotto)));
}

void OrderScreens::openArticleDetail(ui::Screen& from, const Articolo& articolo, std::optional<Colore> colore,
                                     std::shared_ptr<CompanySession> session, GiacenzaScelta scelta) {
    from.ui().push(from, std::make_shared<DettaglioArticoloViewController>(from.ui(), articolo, std::move(colore),
                                                                           std::move(scelta), std::move(session)));
}

}  // namespace torvane
