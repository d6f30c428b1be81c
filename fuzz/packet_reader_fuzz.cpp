// Feeds arbitrary bytes to the data packet reader; whatever it accepts must write and read
// back to the same rows.
#include "model/data_packet.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace driftscope;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TDataTable table("cdsFuzz");
    try {
        TDataPacket::LoadFromString(
            table, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz input");
    } catch (const EDataPacketError&) {
        if (table.RecordCount() != 0) {
            std::abort();
        }
        return 0;
    } catch (const EDataTableError&) {
        if (table.RecordCount() != 0) {
            std::abort();
        }
        return 0;
    }
    const std::string written = TDataPacket::SaveToString(table);
    TDataTable back("cdsBack");
    TDataPacket::LoadFromString(back, written, "rewritten");
    if (back.RecordCount() != table.RecordCount() || TDataPacket::SaveToString(back) != written) {
        std::abort();
    }
    return 0;
}
