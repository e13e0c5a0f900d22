// `lighter MODEL`: the data directory a model file runs in, imported with
// lighter-import's defaults unless the cache already holds it.
#pragma once

#include <ostream>
#include <string>

// The data directory for `model`, or an empty string when there is none;
// then `err` holds the reason (the importer's own message when it failed).
//
// A cached import is used as it is. Otherwise lighter-import writes the
// data directory into a private directory in the cache, and only a
// complete one is renamed into place, so a failed or interrupted import
// leaves no entry. A cache that cannot be written is said once, and the
// import goes to a temporary directory removed when the program exits.
// An import still running after half a second is said on `err`.
std::string openModel(const std::string& model, std::ostream& err);

// The importer the program runs: $LIGHTER_IMPORT, which the installed
// launcher sets to the lighter-import installed beside it, else the one
// built in the same build tree.
std::string importerPath();
