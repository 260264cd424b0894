#pragma once

#include <memory>
#include <vector>

#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The order archive (the "Archivio" tab): every order kept on the device, newest first, with
// its state. Choosing a suspended order reopens it for order entry, an open or sent one opens
// its review; orders that are not open can be deleted. The tab's badge counts the suspended.
class ArchivioViewController : public ui::Screen {
public:
    static constexpr int kTab = 1;

    explicit ArchivioViewController(ui::Ui& ui, std::shared_ptr<Database> store = nullptr);

    std::vector<ui::Section> sections() const override;
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

    std::shared_ptr<Database> store_;
    std::vector<SceltaTestata> listaScelte_;
};

}  // namespace torvane
