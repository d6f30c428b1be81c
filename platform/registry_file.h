#pragma once

#include "platform/registry.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

class ERegFileError : public std::runtime_error {
public:
    ERegFileError(int line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

enum class TRegFileFormat { Version5, Regedit4 };

// Registry editor text: "Windows Registry Editor Version 5.00" (UTF-16LE on disk) and
// "REGEDIT4" (8-bit), with [key], [-key], "name"=-, @=, dword:, hex: and hex(N): values and
// backslash line continuations.
class TRegFile {
public:
    // The changes the text describes, in order; a fault names its line and nothing is
    // returned.
    static std::vector<TRegChange> Parse(std::string_view text);
    // Decodes file bytes (UTF-16LE with its byte-order mark, or UTF-8/8-bit) to text.
    static std::string DecodeBytes(std::string_view bytes);
    static std::vector<TRegChange> ParseFile(const std::filesystem::path& file);

    // The key with its values and subkeys, depth first, as text.
    static TRegResult<std::string> ExportKey(IRegistry& registry, TRootKey root,
                                             std::string_view path, TRegFileFormat format);
    // Writes export text to a file in the encoding of the format.
    static void SaveText(const std::filesystem::path& file, std::string_view text,
                         TRegFileFormat format);
};

} // namespace driftscope
