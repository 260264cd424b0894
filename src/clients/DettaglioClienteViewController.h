#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "clients/Sezione.h"
#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;

// What the agent knows of a client before visiting: the credit exposure, sales per
// collection and per article, agents, payment, sales conditions and notes. Read-only; the
// sections are built once, when the screen is made. Selecting a row, or the "Orizzontale"
// button, opens the wide detail of the same client.
class DettaglioClienteViewController : public ui::Screen {
public:
    // `session`: the company the screen works for; without one it shows nothing of a store.
    DettaglioClienteViewController(ui::Ui& ui, const Cliente& cliente, std::shared_ptr<CompanySession> session = nullptr);

    const Cliente& cliente() const { return cliente_; }
    const std::vector<std::unique_ptr<Sezione>>& sezioni() const { return sezioni_; }

    int numberOfSections() const override { return static_cast<int>(sezioni_.size()); }
    int numberOfRows(int section) const override;
    ui::Row rowAt(int section, int row) const override;
    ui::SectionHeader sectionHeader(int section) const override;
    std::vector<ui::NavigationButton> navigationButtons() const override;

    void viewWillAppear() override { redraw(); }
    void didSelectRow(int section, int row) override;
    void navigationButtonTapped(const std::string& action) override;

    // Opens the wide detail of the client.
    void apriDettaglioOrizzontale();

private:
    std::shared_ptr<Database> store() const;
    void initWithCliente();
    void aggiungi(std::unique_ptr<Sezione> sezione);
    // Each returns whether it made its section(s).
    bool sezioneEsposizione(Database& database);
    void sezioneSintesi(const StatCliente& stat);
    void sezioneDettaglio(Database& database, const StatCollezione& collezione);
    void sezioniAgenti(Database& database);
    bool sezionePagamento(Database& database);
    void sezioneCondizioni(Database& database, bool conPagamento, bool conEsposizione);
    void sezioneNote();

    std::shared_ptr<CompanySession> session_;
    Cliente cliente_;
    std::vector<std::unique_ptr<Sezione>> sezioni_;
    bool isDemoEnabled_ = false;
    std::optional<StatCollezione> collezioneCorrente_;
};

}  // namespace torvane
