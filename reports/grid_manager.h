#pragma once

#include "model/data_table.h"

#include <string>
#include <string_view>

namespace driftscope {

class TProgress;

// The comparison of two tables and (with the writers) the output of grids.
class TGridManager {
public:
    // Matches current rows with baseline rows on the key fields (texts compared without
    // regard to case, a null equal to an empty text, the first baseline row in its order
    // for a key) and fills the Added, Removed and Modified tables; Modified holds each
    // changed pair as the current row then the baseline row, with the changed visible
    // fields named in "modifiedFields". True when the comparison ran to its end or was
    // not needed; false on an error (handed to the handler) or Cancel. Rows written stay.
    static bool CompareTables(TDataTable& current, TDataTable& baseline, TProgress* progress,
                              std::string_view itemName, TDataTable& modified, TDataTable& removed,
                              TDataTable& added, std::string_view keyFields);
};

} // namespace driftscope
