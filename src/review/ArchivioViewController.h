#pragma once

#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;

// The order archive (the "Archivio" tab): every order kept on the device, newest first, with
// its state. Choosing a suspended order reopens it for order entry, an open or sent one opens
// its review; orders that are not open can be deleted. The tab's badge counts the suspended.
class ArchivioViewController : public ui::Screen {
public:
    static constexpr int kTab = 1;

    explicit ArchivioViewController(ui::Ui& ui, std::shared_ptr<CompanySession> session = nullptr);
    // Another company's session: the list is read from it when the screen next appears.
    void setSession(std::shared_ptr<CompanySession> session) { session_ = std::move(session); }

    // One section of one row per order, read only as drawn: the archive may hold thousands.
    int numberOfSections() const override { return static_cast<int>(listaScelte_.size()); }
    int numberOfRows(int section) const override;
    ui::Row rowAt(int section, int row) const override;
    ui::SectionHeader sectionHeader(int) const override { return {}; }
    std::vector<ui::NavigationButton> navigationButtons() const override;
    void viewWillAppear() override;
    void didSelectRow(int section, int row) override;
    void commitDeletion(int section, int row) override;
    void navigationButtonTapped(const std::string& action) override;

    const std::vector<SceltaTestata>& listaScelte() const { return listaScelte_; }

private:
    std::shared_ptr<Database> store() const;
    void caricaLista();
    void aggiornaBadge(long long sospese);

    std::shared_ptr<CompanySession> session_;
    std::vector<SceltaTestata> listaScelte_;
    std::unordered_map<long long, long long> righePerOrdine_;  // lines by order row id
    std::set<long long> inUscita_;  // numbers of the orders whose e-mail waits in the outbox
};

}  // namespace torvane
