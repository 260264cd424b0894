#include "store/AutoCommitPause.h"

#include "store/Database.h"

namespace torvane {

AutoCommitPause::AutoCommitPause(Database& database) : database_(database), previous_(database.doCommit()) {
    database_.setDoCommit(false);
}

AutoCommitPause::~AutoCommitPause() { database_.setDoCommit(previous_); }

}  // namespace torvane
