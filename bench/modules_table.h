#pragma once

#include "model/data_module.h"

#include <string>

namespace driftscope::bench {

// A Modules table of `rows` rows shaped like a real collection: 200 processes with their
// libraries, paths of typical length, dates and sizes.
inline void FillModules(TDataTable& table, int rows) {
    table.DisableControls();
    const int fProcess = table.FieldIndex("process");
    const int fFile = table.FieldIndex("file");
    const int fDate = table.FieldIndex("fileDate");
    const int fSize = table.FieldIndex("fileSize");
    const int fImage = table.FieldIndex("imageIndex");
    for (int i = 0; i < rows; ++i) {
        table.Append();
        table.SetAsInteger(fImage, i % 40);
        table.SetAsString(fProcess, "process" + std::to_string(i % 200) + ".exe");
        table.SetAsString(fFile, "/usr/lib/x86_64-linux-gnu/library-with-a-long-name-" +
                                     std::to_string(i) + ".so.1.2.3");
        table.SetAsDateTime(fDate, 45000.0 + (i % 1000) + (i % 86400) / 86400.0);
        table.SetAsInteger(fSize, 10000 + i * 7);
        table.Post();
    }
    table.EnableControls();
}

} // namespace driftscope::bench
