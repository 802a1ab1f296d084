// The harmonics file read at the first question. Apart from the rest of a
// place's tides, so that code computing with stations it is given (the pages,
// the journal) never pulls in the file reader.
#include "place_tides.h"

namespace moonbite::tides {

TideSource::TideSource(std::string path) : path_(std::move(path)) {}

TideSource::TideSource(std::shared_ptr<const TideDatabase> db) : tried_(true), db_(std::move(db)) {
    if (!db_) problem_ = "no tide harmonics file is installed";
}

void TideSource::load() {
    if (tried_) return;
    tried_ = true;
    const std::string path = path_.empty() ? defaultHarmonicsPath() : path_;
    if (path.empty()) {
        problem_ =
            "No tide harmonics file is installed (install the package xtide-data, or set "
            "MOONBITE_HARMONICS to a .tcd file), so tides are not shown.";
        return;
    }
    LoadResult r = loadTideDatabase(path);
    if (!r.database) {
        problem_ = "Tides cannot be shown: " + r.error + ".";
        return;
    }
    db_ = std::make_shared<const TideDatabase>(std::move(*r.database));
}

const TideDatabase* TideSource::database() {
    load();
    return db_.get();
}

const std::string& TideSource::problem() {
    load();
    return problem_;
}

}  // namespace moonbite::tides
