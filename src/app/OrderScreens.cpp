#include "app/OrderScreens.h"

#include "articles/DettaglioArticoloViewController.h"
#include "articles/ElencoArticoliViewController.h"
#include "clients/ApriDettaglioCliente.h"
#include "clients/ElencoClientiViewController.h"
#include "platform/ui/Ui.h"
#include "review/RivediSceltaViewController.h"

namespace torvane {

void OrderScreens::openReview(ui::Screen& from, long long codiceTestata, std::shared_ptr<Database> store,
                              ArticoloScelto articolo) {
    auto review = std::make_shared<RivediSceltaViewController>(from.ui(), codiceTestata, std::move(store));
    review->setConsegnaArticolo(std::move(articolo));
    from.ui().push(from, review);
}

void OrderScreens::openClientList(ui::Screen& from, std::shared_ptr<Database> store, ClienteScelto scelto) {
    from.ui().push(from, std::make_shared<ElencoClientiViewController>(from.ui(), std::move(scelto), std::move(store)));
}

void OrderScreens::openClientDetail(ui::Screen& from, const Cliente& cliente, std::shared_ptr<Database> store) {
    apriDettaglioCliente(from, cliente, std::move(store));
}

void OrderScreens::openArticleList(ui::Screen& from, const Listino& listino, std::shared_ptr<Database> store,
                                   ArticoloScelto scelto, LottoScelto lotto) {
    from.ui().push(from, std::make_shared<ElencoArticoliViewController>(from.ui(), listino, std::move(scelto),
                                                                        std::move(store), std::move(lotto)));
}

void OrderScreens::openArticleDetail(ui::Screen& from, const Articolo& articolo, std::optional<Colore> colore,
                                     std::shared_ptr<Database> store, GiacenzaScelta scelta) {
    from.ui().push(from, std::make_shared<DettaglioArticoloViewController>(from.ui(), articolo, std::move(colore),
                                                                           std::move(scelta), std::move(store)));
}

}  // namespace torvane
