#include "model/data_packet.h"

#include "model/text_utilities.h"

#include <expat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <system_error>

namespace driftscope {
namespace {

constexpr std::size_t kChunk = 1 << 20;

// Characters that the format escapes, indexed by byte.
constexpr std::array<const char*, 128> MakeEscapes() {
    std::array<const char*, 128> t{};
    t['<'] = "&lt;";
    t['>'] = "&gt;";
    t['"'] = "&quot;";
    t['&'] = "&amp;";
    t['\''] = "&apos;";
    t['\r'] = "&#013;";
    t['\n'] = "&#010;";
    t['\t'] = "&#009;";
    t['\\'] = "&#092;";
    return t;
}
constexpr auto kEscapes = MakeEscapes();
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of a valid UTF-8 sequence at `i`, or 0; `xmlChar` tells whether XML may carry it.
std::size_t Utf8Length(std::string_view s, std::size_t i, bool& xmlChar) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    char32_t cp = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    const bool notXml =
        (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF || cp > 0x10FFFF;
    xmlChar = !notXml;
    return overlong ? 0 : len;
}

bool IsXmlName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!(letter || (i > 0 && other))) {
            return false;
        }
    }
    return true;
}

const char* TypeName(TFieldKind kind) {
    switch (kind) {
    case TFieldKind::String:
        return "string";
    case TFieldKind::Integer:
        return "i4";
    case TFieldKind::Boolean:
        return "boolean";
    case TFieldKind::DateTime:
        return "dateTime";
    case TFieldKind::Float:
        return "r8";
    }
    return "string";
}

const char* AlignmentName(TAlignment a) {
    switch (a) {
    case TAlignment::Left:
        return "left";
    case TAlignment::Right:
        return "right";
    case TAlignment::Center:
        return "center";
    }
    return "left";
}

void AppendDigits(std::string& out, int value, int width) {
    std::array<char, 12> buf{};
    for (int i = width - 1; i >= 0; --i) {
        buf[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(buf.data(), static_cast<std::size_t>(width));
}

void AppendPacketDate(std::string& out, TDateTime value) {
    const TDateTimeParts p = TDateTimeUtilities::Decode(value);
    AppendDigits(out, p.year, 4);
    AppendDigits(out, p.month, 2);
    AppendDigits(out, p.day, 2);
    if (p.hour != 0 || p.minute != 0 || p.second != 0 || p.millisecond != 0) {
        out.push_back('T');
        AppendDigits(out, p.hour, 2);
        out.push_back(':');
        AppendDigits(out, p.minute, 2);
        out.push_back(':');
        AppendDigits(out, p.second * 1000 + p.millisecond, 5);
    }
}

// Serialises a table into a buffer that a sink drains whenever it grows past a chunk.
template <typename Sink>
void WritePacket(const TDataTable& table, std::string& out, Sink&& drain) {
    out.append("<?xml version=\"1.0\" standalone=\"yes\"?>\n"
               "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    const auto& fields = table.Fields();
    for (const TFieldDef& f : fields) {
        if (!IsXmlName(f.name)) {
            throw EDataPacketError("Field name '" + f.name + "' of table " + table.Name() +
                                   " cannot be written to a data packet");
        }
        out.append("<FIELD attrname=\"");
        TDataPacket::AppendEscaped(out, f.name);
        out.append("\" fieldtype=\"").append(TypeName(f.kind)).append("\"");
        if (f.kind == TFieldKind::String) {
            out.append(" WIDTH=\"").append(std::to_string(f.size)).append("\"");
        }
        out.append(" DISPLAYLABEL=\"");
        TDataPacket::AppendEscaped(out, f.displayLabel);
        out.append("\" DISPLAYWIDTH=\"").append(std::to_string(f.displayWidth));
        out.append("\" VISIBLE=\"").append(f.visible ? "TRUE" : "FALSE").append("\"");
        if (!f.displayFormat.empty()) {
            out.append(" DISPLAYFORMAT=\"");
            TDataPacket::AppendEscaped(out, f.displayFormat);
            out.append("\"");
        }
        out.append(" ALIGNMENT=\"").append(AlignmentName(f.alignment)).append("\"/>");
    }
    out.append("</FIELDS><PARAMS/></METADATA><ROWDATA>\n");
    std::array<char, 64> num{};
    table.ForEachRow([&](const TDataTable::TCell* row) {
        out.append("<ROW");
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const TDataTable::TCell& cell = row[i];
            if (cell.IsNull()) {
                continue;
            }
            out.push_back(' ');
            out.append(fields[i].name);
            out.append("=\"");
            switch (fields[i].kind) {
            case TFieldKind::String:
                TDataPacket::AppendEscaped(out, cell.Text());
                break;
            case TFieldKind::Integer: {
                const auto r = std::to_chars(num.data(), num.data() + num.size(), cell.Integer());
                out.append(num.data(), r.ptr);
                break;
            }
            case TFieldKind::Boolean:
                out.append(cell.Boolean() ? "TRUE" : "FALSE");
                break;
            case TFieldKind::DateTime:
                AppendPacketDate(out, cell.Float());
                break;
            case TFieldKind::Float: {
                // The shortest text that reads back as the same double.
                const auto r = std::to_chars(num.data(), num.data() + num.size(), cell.Float());
                out.append(num.data(), r.ptr);
                break;
            }
            }
            out.push_back('"');
        }
        out.append("/>\n");
        if (out.size() >= kChunk) {
            drain(out);
        }
    });
    out.append("</ROWDATA></DATAPACKET>\n");
}

struct TFileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) {
            std::fclose(f);
        }
    }
};
using TFileHandle = std::unique_ptr<std::FILE, TFileCloser>;

struct TParserDeleter {
    void operator()(XML_Parser p) const { XML_ParserFree(p); }
};

// Streaming reader: expat callbacks fill a staging table; the first fault stops the parser.
class TPacketReader {
public:
    explicit TPacketReader(std::string sourceName)
        : source_(std::move(sourceName)), parser_(XML_ParserCreate("UTF-8")) {
        if (!parser_) {
            throw EDataPacketError("Unable to create an XML parser");
        }
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), &TPacketReader::OnStart, &TPacketReader::OnEnd);
        XML_SetStartDoctypeDeclHandler(parser_.get(), &TPacketReader::OnDoctype);
    }

    // Feeds one piece; returns false once the packet has failed.
    bool Feed(const char* data, std::size_t size, bool last) {
        if (XML_Parse(parser_.get(), data, static_cast<int>(size), last ? XML_TRUE : XML_FALSE) ==
            XML_STATUS_ERROR) {
            return false;
        }
        return true;
    }

    XML_Parser Parser() const { return parser_.get(); }
    // Field names that carried their own display label in the file.
    const std::vector<std::string>& Labelled() const { return labelled_; }

    // Runs after the last piece; throws for any fault.
    TDataTable Finish(bool parsedOk) {
        if (!parsedOk || !fault_.empty()) {
            const auto line = XML_GetCurrentLineNumber(parser_.get());
            const std::string what =
                fault_.empty() ? XML_ErrorString(XML_GetErrorCode(parser_.get())) : fault_;
            throw EDataPacketError("Error reading data packet " + source_ + ": " + what +
                                   " (line " + std::to_string(line) + ")");
        }
        if (!sawRoot_ || !sawFields_) {
            throw EDataPacketError("Error reading data packet " + source_ +
                                   ": the file holds no field list");
        }
        if (!table_.Active()) {
            table_.Open();
        }
        return std::move(table_);
    }

private:
    static void OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        static_cast<TPacketReader*>(self)->Fail("a document type declaration is not allowed");
    }

    static void OnStart(void* self, const XML_Char* name, const XML_Char** atts) {
        auto* r = static_cast<TPacketReader*>(self);
        try {
            r->Start(name, atts);
        } catch (const std::exception& e) {
            r->Fail(e.what());
        }
    }

    static void OnEnd(void* self, const XML_Char*) { --static_cast<TPacketReader*>(self)->depth_; }

    void Fail(std::string what) {
        if (fault_.empty()) {
            fault_ = std::move(what);
        }
        XML_StopParser(parser_.get(), XML_FALSE);
    }

    void Start(const XML_Char* name, const XML_Char** atts) {
        ++depth_;
        if (depth_ == 1) {
            if (std::strcmp(name, "DATAPACKET") != 0) {
                throw EDataPacketError("not a data packet (root element <" + std::string(name) +
                                       ">)");
            }
            sawRoot_ = true;
        } else if (std::strcmp(name, "FIELD") == 0) {
            if (inRows_) {
                throw EDataPacketError("a field definition after the rows");
            }
            sawFields_ = true;
            AddField(atts);
        } else if (std::strcmp(name, "FIELDS") == 0) {
            sawFields_ = true;
        } else if (std::strcmp(name, "ROWDATA") == 0) {
            StartRows();
        } else if (std::strcmp(name, "ROW") == 0) {
            if (!inRows_) {
                throw EDataPacketError("a row outside the row data");
            }
            AddRow(atts);
        }
    }

    void AddField(const XML_Char** atts) {
        TFieldDef def;
        std::string type;
        bool sawWidth = false;
        bool sawLabel = false;
        for (const XML_Char** a = atts; *a != nullptr; a += 2) {
            const std::string_view key = a[0];
            const std::string_view value = a[1];
            if (key == "attrname") {
                def.name = value;
            } else if (key == "fieldtype") {
                type = value;
            } else if (key == "WIDTH") {
                def.size = ParseInt(value, "field width");
                sawWidth = true;
            } else if (key == "DISPLAYLABEL") {
                def.displayLabel = value;
                sawLabel = true;
            } else if (key == "DISPLAYWIDTH") {
                def.displayWidth = ParseInt(value, "display width");
            } else if (key == "VISIBLE") {
                def.visible = !TTextUtilities::SameText(value, "FALSE");
            } else if (key == "DISPLAYFORMAT") {
                def.displayFormat = value;
            } else if (key == "ALIGNMENT") {
                def.alignment = value == "right"    ? TAlignment::Right
                                : value == "center" ? TAlignment::Center
                                                    : TAlignment::Left;
            }
        }
        if (!IsXmlName(def.name)) {
            throw EDataPacketError("'" + def.name + "' is not a valid field name");
        }
        if (type == "string" || type == "string.uni") {
            def.kind = TFieldKind::String;
            if (!sawWidth || def.size <= 0) {
                throw EDataPacketError("string field '" + def.name + "' has no valid WIDTH");
            }
        } else if (type == "i4") {
            def.kind = TFieldKind::Integer;
        } else if (type == "boolean") {
            def.kind = TFieldKind::Boolean;
        } else if (type == "dateTime") {
            def.kind = TFieldKind::DateTime;
        } else if (type == "r8") {
            def.kind = TFieldKind::Float;
        } else {
            throw EDataPacketError("field '" + def.name + "' has the unknown type '" + type + "'");
        }
        bool hasAlignment = false;
        for (const XML_Char** a = atts; *a != nullptr; a += 2) {
            hasAlignment = hasAlignment || std::strcmp(a[0], "ALIGNMENT") == 0;
        }
        if (!hasAlignment) {
            def.alignment = TFieldDef::DefaultAlignment(def.kind);
        }
        if (sawLabel) {
            labelled_.push_back(def.name);
        }
        table_.AddField(std::move(def));
    }

    void StartRows() {
        if (inRows_) {
            throw EDataPacketError("a second row data section");
        }
        inRows_ = true;
        table_.Open();
        names_.clear();
        for (const TFieldDef& f : table_.Fields()) {
            names_.push_back(f.name);
        }
    }

    void AddRow(const XML_Char** atts) {
        table_.BeginRow();
        std::size_t expected = 0;
        for (const XML_Char** a = atts; *a != nullptr; a += 2) {
            const char* key = a[0];
            // Attributes come in field order, so the next field is the likely match.
            std::size_t index = names_.size();
            for (std::size_t k = 0; k < names_.size(); ++k) {
                const std::size_t i = (expected + k) % names_.size();
                if (names_[i] == key) {
                    index = i;
                    break;
                }
            }
            if (index == names_.size()) {
                if (std::strcmp(key, "RowState") == 0) {
                    continue;
                }
                throw EDataPacketError("row attribute '" + std::string(key) + "' names no field");
            }
            expected = index + 1;
            SetField(static_cast<int>(index), a[1]);
        }
        table_.EndRow();
    }

    void SetField(int field, std::string_view text) {
        const TFieldDef& def = table_.Field(field);
        switch (def.kind) {
        case TFieldKind::String:
            table_.SetRowString(field, text);
            return;
        case TFieldKind::Integer: {
            std::int32_t v = 0;
            const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
            if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
                throw EDataPacketError("'" + std::string(text) + "' in field '" + def.name +
                                       "' is not an integer");
            }
            table_.SetRowInteger(field, v);
            return;
        }
        case TFieldKind::Boolean:
            if (TTextUtilities::SameText(text, "TRUE") || TTextUtilities::SameText(text, "FALSE")) {
                table_.SetRowBoolean(field, TTextUtilities::SameText(text, "TRUE"));
                return;
            }
            throw EDataPacketError("'" + std::string(text) + "' in field '" + def.name +
                                   "' is not a boolean");
        case TFieldKind::DateTime:
            if (const auto v = TDateTimeUtilities::ParsePacketText(text)) {
                table_.SetRowFloat(field, *v);
                return;
            }
            throw EDataPacketError("'" + std::string(text) + "' in field '" + def.name +
                                   "' is not a date-time");
        case TFieldKind::Float: {
            double v = 0;
            const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
            if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
                throw EDataPacketError("'" + std::string(text) + "' in field '" + def.name +
                                       "' is not a number");
            }
            table_.SetRowFloat(field, v);
            return;
        }
        }
    }

    static int ParseInt(std::string_view text, const char* what) {
        int v = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
            throw EDataPacketError("'" + std::string(text) + "' is not a valid " + what);
        }
        return v;
    }

    std::string source_;
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, TParserDeleter> parser_;
    TDataTable table_;
    std::vector<std::string> names_;
    std::vector<std::string> labelled_;
    std::string fault_;
    int depth_ = 0;
    bool sawRoot_ = false;
    bool sawFields_ = false;
    bool inRows_ = false;
};

// Display properties a file did not carry come from the table's earlier definition of the
// same field, and its order is kept when the new fields still have it.
void AdoptLoaded(TDataTable& table, TDataTable loaded, const std::vector<std::string>& labelled) {
    for (int i = 0; i < loaded.FieldCount(); ++i) {
        TFieldDef& def = loaded.Field(i);
        const bool ownLabel =
            std::find(labelled.begin(), labelled.end(), def.name) != labelled.end();
        const int old = table.FindField(def.name);
        if (!ownLabel && old >= 0) {
            const TFieldDef& before = table.Field(old);
            def.displayLabel = before.displayLabel;
            def.displayWidth = before.displayWidth;
            def.visible = before.visible;
            def.displayFormat = before.displayFormat;
            def.alignment = before.alignment;
        }
    }
    const std::string order = table.IndexFieldNames();
    const bool descending = table.IndexDescending();
    bool orderFits = true;
    for (const std::string& part : TTextUtilities::Split(order, ';')) {
        orderFits = orderFits && (part.empty() || loaded.FindField(part) >= 0);
    }
    table.AdoptContent(std::move(loaded));
    table.SetIndexFieldNames(orderFits ? order : std::string(), descending);
    table.First();
}

void EmptyIfOpen(TDataTable& table) {
    if (table.Active()) {
        table.EmptyTable();
    }
}

} // namespace

void TDataPacket::AppendEscaped(std::string& out, std::string_view value) {
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < value.size()) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c < 0x80) {
            const char* escape = kEscapes[c];
            if (escape == nullptr && c >= 0x20) {
                ++i;
                continue;
            }
            out.append(value.substr(start, i - start));
            out.append(escape != nullptr ? std::string_view(escape) : kReplacement);
            start = ++i;
            continue;
        }
        bool xmlChar = false;
        const std::size_t len = Utf8Length(value, i, xmlChar);
        if (len > 0 && xmlChar) {
            i += len;
            continue;
        }
        out.append(value.substr(start, i - start));
        out.append(kReplacement);
        i += len > 0 ? len : 1;
        start = i;
    }
    out.append(value.substr(start));
}

std::string TDataPacket::SaveToString(const TDataTable& table) {
    std::string out;
    WritePacket(table, out, [](std::string&) {});
    return out;
}

void TDataPacket::SaveToFile(const TDataTable& table, const std::filesystem::path& path) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    const auto fail = [&](const std::string& what) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw EDataPacketError("Unable to write " + path.string() + ": " + what);
    };
    {
        TFileHandle file(std::fopen(temp.string().c_str(), "wb"));
        if (!file) {
            fail(std::strerror(errno));
        }
        std::string buffer;
        buffer.reserve(kChunk + kChunk / 4);
        bool ok = true;
        const auto drain = [&](std::string& out) {
            ok = ok && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
            out.clear();
        };
        try {
            WritePacket(table, buffer, drain);
        } catch (const EDataPacketError& e) {
            fail(e.what());
        }
        drain(buffer);
        ok = ok && std::fflush(file.get()) == 0;
        if (!ok) {
            fail(std::strerror(errno));
        }
        if (std::fclose(file.release()) != 0) {
            fail(std::strerror(errno));
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        fail(ec.message());
    }
}

void TDataPacket::LoadFromString(TDataTable& table, std::string_view data,
                                 std::string_view sourceName) {
    EmptyIfOpen(table);
    try {
        TPacketReader reader{std::string(sourceName)};
        bool ok = true;
        // Fed in pieces so that sizes beyond the parser's int length are fine.
        std::size_t pos = 0;
        do {
            const std::size_t n = std::min(kChunk, data.size() - pos);
            ok = reader.Feed(data.data() + pos, n, pos + n == data.size());
            pos += n;
        } while (ok && pos < data.size());
        TDataTable loaded = reader.Finish(ok);
        AdoptLoaded(table, std::move(loaded), reader.Labelled());
    } catch (...) {
        EmptyIfOpen(table);
        throw;
    }
}

void TDataPacket::LoadFromFile(TDataTable& table, const std::filesystem::path& path) {
    EmptyIfOpen(table);
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw EDataPacketError("Unable to open data packet " + path.string());
        }
        TPacketReader reader{path.string()};
        bool ok = true;
        bool last = false;
        while (ok && !last) {
            void* buf = XML_GetBuffer(reader.Parser(), static_cast<int>(kChunk));
            if (buf == nullptr) {
                throw EDataPacketError("Out of memory reading data packet " + path.string());
            }
            in.read(static_cast<char*>(buf), static_cast<std::streamsize>(kChunk));
            const auto n = in.gcount();
            if (in.bad()) {
                throw EDataPacketError("Unable to read data packet " + path.string());
            }
            last = in.eof();
            ok = XML_ParseBuffer(reader.Parser(), static_cast<int>(n),
                                 last ? XML_TRUE : XML_FALSE) != XML_STATUS_ERROR;
        }
        TDataTable loaded = reader.Finish(ok);
        AdoptLoaded(table, std::move(loaded), reader.Labelled());
    } catch (...) {
        EmptyIfOpen(table);
        throw;
    }
}

} // namespace driftscope
