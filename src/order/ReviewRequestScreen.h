#pragma once

#include <string>

#include "platform/Format.h"
#include "platform/ui/EmptyScreen.h"

namespace torvane {

// Where "  Fine  " takes a closed order: the review of that order, opened by its number.
// It holds the review's place on the navigation stack until the review screen exists.
class ReviewRequestScreen : public ui::EmptyScreen {
public:
    ReviewRequestScreen(ui::Ui& ui, long long codiceTestata)
        : EmptyScreen(ui, format("Ordine %d", codiceTestata)), codiceTestata_(codiceTestata) {}
    long long codiceTestata() const { return codiceTestata_; }

private:
    long long codiceTestata_;
};

}  // namespace torvane
