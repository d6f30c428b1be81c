#pragma once

#include "model/data_module.h"

#include <string>

namespace driftscope::bench {

// A Modules table of `rows` rows shaped like a real collection: 200 processes with their
// libraries, paths of typical length, dates and sizes.
// changeEvery > 0 changes every such row in turn: left out, renamed, or another size.
inline void FillModules(TDataTable& table, int rows, int changeEvery = 0) {
    table.DisableControls();
    const int fProcess = table.FieldIndex("process");
    const int fFile = table.FieldIndex("file");
    const int fDate = table.FieldIndex("fileDate");
    const int fSize = table.FieldIndex("fileSize");
    const int fImage = table.FieldIndex("imageIndex");
    for (int i = 0; i < rows; ++i) {
        const int change = changeEvery > 0 && i % changeEvery == 0 ? (i / changeEvery) % 3 + 1 : 0;
        if (change == 1) {
            continue;
        }
        table.Append();
        table.SetAsInteger(fImage, i % 40);
        table.SetAsString(fProcess, "process" + std::to_string(i % 200) + ".exe");
        table.SetAsString(fFile, "/usr/lib/x86_64-linux-gnu/library-with-a-long-name-" +
                                     std::to_string(i) + ".so.1.2.3" + (change == 2 ? ".new" : ""));
        table.SetAsDateTime(fDate, 45000.0 + (i % 1000) + (i % 86400) / 86400.0);
        table.SetAsInteger(fSize, 10000 + i * 7 + (change == 3 ? 1 : 0));
        table.Post();
    }
    table.EnableControls();
}

} // namespace driftscope::bench
