#pragma once

#include "model/data_table.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace driftscope {

class EDataPacketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The XML data packet: the file form of a table, used for baselines and logs.
//
//   <?xml version="1.0" standalone="yes"?>
//   <DATAPACKET Version="2.0"><METADATA><FIELDS><FIELD attrname=".." fieldtype=".."/>...
//   </FIELDS><PARAMS/></METADATA><ROWDATA><ROW field="value" .../>...</ROWDATA></DATAPACKET>
//
// Field types: "string" (with WIDTH), "i4", "boolean", "dateTime", "r8". A row carries one
// attribute per non-null field. Display properties travel as extra FIELD attributes.
class TDataPacket {
public:
    // Writes to a temporary file beside the target and renames it into place, so the
    // target is either the old file or the complete new one.
    static void SaveToFile(const TDataTable& table, const std::filesystem::path& path);
    static std::string SaveToString(const TDataTable& table);

    // Replaces the table's fields and rows by the packet's. On any error the table is left
    // empty and an EDataPacketError names the source and the fault.
    static void LoadFromFile(TDataTable& table, const std::filesystem::path& path);
    static void LoadFromString(TDataTable& table, std::string_view data,
                               std::string_view sourceName);

    // The value escaping of the format; text that is not valid UTF-8 or holds characters
    // XML cannot carry gets U+FFFD in their place, so every written file reads back.
    static void AppendEscaped(std::string& out, std::string_view value);
};

} // namespace driftscope
