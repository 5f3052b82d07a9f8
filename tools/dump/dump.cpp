#include "tools/dump/dump.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "core/classify.h"
#include "core/index_reader.h"
#include "core/tab_rows.h"
#include "report/report_writer.h"
#include "settings/date_format.h"

namespace tw {
namespace {

enum class Format { Tsv, Csv, Json, Html };

const char kUsage[] = "usage: tidewell-dump [--format tsv|csv|json] FILE...\n"
    "       tidewell-dump --format html FILE\n";

std::string TsvField(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                // Text is in the ANSI code page; bytes above 127 are taken as
                // Latin-1 so that the output is always valid UTF-8.
                if (c < 0x80) {
                    out += char(c);
                } else {
                    out += char(0xC0 | (c >> 6));
                    out += char(0x80 | (c & 0x3F));
                }
            }
        }
    }
    return out + "\"";
}

void WriteLine(std::FILE* out, Format format, const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += format == Format::Csv ? ',' : '\t';
        line += format == Format::Csv ? CsvField(fields[i]) : TsvField(fields[i]);
    }
    line += format == Format::Csv ? "\r\n" : "\n";
    std::fputs(line.c_str(), out);
}

// Why a file cannot be dumped, or empty when it can.
std::string ProblemOf(const char* path, int result) {
    switch (result) {
    case kIndexVersion52:
    case kIndexOtherVersion: return std::string();
    case kIndexNotIndexFile: return "not an index file (no \"Client UrlCache MMF Ver\" header)";
    case kIndexNoUrlRecords: return "no URL records";
    default: break;
    }
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return std::string("cannot open: ") + std::strerror(errno);
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        size = std::ftell(f);
    std::fclose(f);
    if (size >= 0 && size < 257)
        return "too small to be an index file (" + std::to_string(size) + " bytes)";
    return "cannot be read into memory";
}

}  // namespace

int RunDump(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    Format format = Format::Tsv;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == "--format" && i + 1 < argc) {
            value = argv[++i];
        } else if (arg.rfind("--format=", 0) == 0) {
            value = arg.substr(9);
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, out);
            return 0;
        } else if (arg == "--") {
            for (++i; i < argc; ++i)
                files.push_back(argv[i]);
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(err, "tidewell-dump: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            files.push_back(argv[i]);
            continue;
        }
        if (value == "tsv") format = Format::Tsv;
        else if (value == "csv") format = Format::Csv;
        else if (value == "json") format = Format::Json;
        else if (value == "html") format = Format::Html;
        else {
            std::fprintf(err, "tidewell-dump: unknown format '%s' (tsv, csv, json or html)\n", value.c_str());
            return 2;
        }
    }
    if (files.empty()) {
        std::fprintf(err, "tidewell-dump: no index file given\n%s", kUsage);
        return 2;
    }

    if (format == Format::Html && files.size() != 1) {
        std::fprintf(err, "tidewell-dump: --format html makes one report of one index file\n%s", kUsage);
        return 2;
    }

    int status = 0;
    bool firstJson = true;
    if (format == Format::Json)
        std::fputs("[", out);
    for (const char* path : files) {
        EntryArray<PageEntry> entries;
        const int result = ReadIndexFile(path, entries);
        const std::string problem = ProblemOf(path, result);
        if (!problem.empty()) {
            std::fprintf(err, "tidewell-dump: %s: %s\n", path, problem.c_str());
            status = 2;
            continue;
        }
        if (result == kIndexOtherVersion)
            std::fprintf(err, "tidewell-dump: %s: warning: index file version is not 5.2; read as 5.2\n", path);

        const EntryKind kind = IndexFileKind(entries[0]);
        if (format == Format::Html) {
            const ReportKind heading = kind == EntryKind::Cookie  ? ReportKind::Cookies
                                       : kind == EntryKind::Cache ? ReportKind::Cache
                                                                  : ReportKind::History;
            WriteReport(out, entries, kDefaultDateTemplate, heading);
            continue;
        }
        const std::vector<Column> columns = IndexFileColumns(kind);
        if (format == Format::Json) {
            std::string s = firstJson ? "\n" : ",\n";
            firstJson = false;
            s += "{\"file\":" + JsonString(path) + ",\"kind\":" + JsonString(KindName(kind)) +
                 ",\"version52\":" + (result == kIndexVersion52 ? "true" : "false") + ",\"columns\":[";
            for (std::size_t c = 0; c < columns.size(); ++c)
                s += (c ? "," : "") + JsonString(columns[c].title);
            s += "],\"rows\":[";
            std::fputs(s.c_str(), out);
            for (std::size_t i = 0; i < entries.Count(); ++i) {
                const Row row = IndexFileRow(entries[i], kind, kDefaultDateTemplate);
                std::string r = i ? ",\n[" : "\n[";
                for (std::size_t c = 0; c < row.cells.size(); ++c)
                    r += (c ? "," : "") + JsonString(row.cells[c].text);
                std::fputs((r + "]").c_str(), out);
            }
            std::fputs("]}", out);
            continue;
        }
        std::vector<std::string> header = {"File", "Kind"};
        for (const Column& c : columns)
            header.push_back(c.title);
        WriteLine(out, format, header);
        for (const PageEntry& e : entries) {
            std::vector<std::string> fields = {path, KindName(kind)};
            for (const Cell& cell : IndexFileRow(e, kind, kDefaultDateTemplate).cells)
                fields.push_back(cell.text);
            WriteLine(out, format, fields);
        }
    }
    if (format == Format::Json)
        std::fputs("\n]\n", out);
    return status;
}

}  // namespace tw
