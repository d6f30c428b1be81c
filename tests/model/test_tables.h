#pragma once

#include "model/data_table.h"

#include <string>

namespace driftscope::test_support {

inline TFieldDef MakeField(const char* name, TFieldKind kind, int size = 0) {
    TFieldDef def;
    def.name = name;
    def.kind = kind;
    def.size = size;
    def.alignment = TFieldDef::DefaultAlignment(kind);
    return def;
}

// A table with one field of every kind.
inline TDataTable MakeAllKindsTable(const char* name = "cdsSample") {
    TDataTable table(name);
    table.AddField(MakeField("text", TFieldKind::String, 10));
    table.AddField(MakeField("count", TFieldKind::Integer));
    table.AddField(MakeField("flag", TFieldKind::Boolean));
    table.AddField(MakeField("when", TFieldKind::DateTime));
    table.AddField(MakeField("ratio", TFieldKind::Float));
    table.Open();
    return table;
}

} // namespace driftscope::test_support
