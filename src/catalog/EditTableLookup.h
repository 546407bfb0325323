#pragma once
// How grid editing learns a table's columns and keys: the object browser's catalog records,
// found the way the metadata wizard finds them (tables first, then views), read when first asked.
// Names match as the server reads them: a quoted part exactly, an unquoted one in any case; a
// schema-qualified table the browser does not list (another schema than the Schema box's) is
// read from the catalog itself.
#include "transform/ResultSetEdits.h"

#include <exception>
#include <functional>

namespace marlix {

class CatalogReader;
struct CatalogFolders;

// A failing read goes to `report` and the table counts as not found; while `allowed` says no
// (a batch is running on the connection) nothing is read.
TableLookup CatalogTableLookup(CatalogReader& reader, CatalogFolders& folders,
                               std::function<void(std::exception_ptr)> report = {},
                               std::function<bool()> allowed = {});

} // namespace marlix
