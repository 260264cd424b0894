#pragma once

#include <memory>
#include <vector>

#include "clients/Sezione.h"
#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;

// The wide detail of a client: each collection's articles in three tables (in production,
// samples without production, only "T+CC") with sample and production figures apart. The
// figures of an article are worked out once per load of the statistics and kept in its
// record (`zFlag`), so opening the screen again only reads them.
class DettaglioClienteLandscapeViewController : public ui::Screen {
public:
    // `session`: the company the screen works for; without one it shows nothing of a store.
    DettaglioClienteLandscapeViewController(ui::Ui& ui, const Cliente& cliente,
                                            std::shared_ptr<CompanySession> session = nullptr);

    const std::vector<std::unique_ptr<Sezione>>& sezioni() const { return sezioni_; }
    // Articles whose figures this screen worked out (the others were read as kept).
    int articoliCalcolati() const { return calcolati_; }

    int numberOfSections() const override { return static_cast<int>(sezioni_.size()); }
    int numberOfRows(int section) const override;
    ui::Row rowAt(int section, int row) const override;
    ui::SectionHeader sectionHeader(int section) const override;
    void viewWillAppear() override { redraw(); }

private:
    std::shared_ptr<Database> store() const;
    void initWithCliente();
    void collezione(Database& database, const std::string& cliente, const StatCollezione& collezione);
    // Works the article's figures out from its businesses and keeps them in the record.
    void calcola(const StatArticolo& articolo);

    std::shared_ptr<CompanySession> session_;
    Cliente cliente_;
    std::vector<std::unique_ptr<Sezione>> sezioni_;
    int calcolati_ = 0;
};

}  // namespace torvane
