#include "tools/dump/dump.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/classify.h"
#include "core/file_image.h"
#include "core/index_reader.h"
#include "core/index_visitor.h"
#include "core/tab_rows.h"
#include "report/report_writer.h"
#include "settings/date_format.h"
#include "tools/dump/code_page.h"

namespace tw {
namespace {

enum class Format { Tsv, Csv, Json, Jsonl, Html };

const char kUsage[] = "usage: tidewell-dump [--format tsv|csv|json|jsonl] [--codepage NAME] FILE...\n"
    "       tidewell-dump --format html FILE\n"
    "       tidewell-dump --summary FILE...\n"
    "  --codepage NAME  the ANSI code page of the file's texts in json and jsonl (default windows-1252)\n"
    "  --summary        one line a file: kind, version, records allocated and recovered\n";

void AppendTsvField(std::string& out, const std::string& s) {
    for (char c : s) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
}

void AppendCsvField(std::string& out, const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) {
        out += s;
        return;
    }
    out += '"';
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// Output gathered in one buffer and written in large pieces; the buffer
// stays small whatever the file's size.
class Output {
public:
    explicit Output(std::FILE* out) : out_(out) {}
    ~Output() { Flush(); }
    std::string& Buffer() { return buffer_; }
    void Written() {
        if (buffer_.size() >= 1 << 16)
            Flush();
    }
    void Flush() {
        if (!buffer_.empty())
            std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
        buffer_.clear();
    }

private:
    std::FILE* out_;
    std::string buffer_;
};

struct Options {
    Format format = Format::Tsv;
    bool summary = false;
    std::unique_ptr<CodePage> codePage;
};

const char* TypeName(IndexRecordType type) {
    switch (type) {
    case IndexRecordType::Redirect: return "REDR";
    case IndexRecordType::Leak: return "LEAK";
    default: return "URL";
    }
}

const char* StateName(IndexRecordState state) {
    switch (state) {
    case IndexRecordState::Allocated: return "allocated";
    case IndexRecordState::Recovered: return "recovered";
    default: return "unlinked";
    }
}

// A URL that a reader can still make out: some text, and no control bytes.
bool IsReadableUrl(const IndexText& url) {
    if (url.Empty())
        return false;
    for (std::size_t i = 0; i < url.length; ++i) {
        const unsigned char c = static_cast<unsigned char>(url.text[i]);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

void AppendTime(std::string& out, const char* key, FileTime time) {
    out += ",\"";
    out += key;
    out += "\":";
    const std::string iso = time.IsZero() ? std::string() : IsoUtcTime(time);
    if (iso.empty()) {
        out += "null";
    } else {
        out += '"';
        out += iso;
        out += '"';
    }
}

// The records of one file, from the reader straight to the writer.
class FileDump : public IndexVisitor {
public:
    FileDump(const char* path, bool version52, const Options& options, Output& output, bool& firstJson)
        : path_(path), version52_(version52), options_(options), output_(output), firstJson_(firstJson),
          json_(*options.codePage), dates_(kDefaultDateTemplate) {
        json_.Append(jsonPath_, path, std::strlen(path));
    }

    void Record(const IndexRecordView& record) override {
        Count(record);
        if (record.type == IndexRecordType::Url && !sawUrl_) {
            sawUrl_ = true;
            kind_ = IndexFileKind(PageEntryOf(record));
            if (!options_.summary)
                Begin();
        }
        if (options_.summary)
            return;
        if (options_.format == Format::Jsonl)
            JsonlLine(record);
        else if (record.type == IndexRecordType::Url)
            Row(PageEntryOf(record));
        output_.Written();
    }

    // After a walk that handed on records.
    void End(const unsigned char* image, std::size_t size) {
        std::string& out = output_.Buffer();
        if (options_.summary) {
            out += path_;
            out += ": ";
            out += KindName(kind_);
            out += ", version " + IndexVersionText(image, size);
            out += ", " + std::to_string(allocated_) + " allocated";
            out += ", " + std::to_string(recovered_) + " recovered";
            out += " (" + std::to_string(readableRecovered_) + " with a readable URL)";
            if (unlinked_)
                out += ", " + std::to_string(unlinked_) + " unlinked";
            out += "\n";
        } else if (options_.format == Format::Json) {
            out += "]}";
        } else if (options_.format == Format::Html) {
            out += ReportTail();
        }
        output_.Written();
    }

private:
    void Count(const IndexRecordView& record) {
        switch (record.state) {
        case IndexRecordState::Allocated: ++allocated_; break;
        case IndexRecordState::Recovered:
            ++recovered_;
            if (IsReadableUrl(record.url))
                ++readableRecovered_;
            break;
        default: ++unlinked_; break;
        }
    }

    void Begin() {
        std::string& out = output_.Buffer();
        columns_ = IndexFileColumns(kind_);
        switch (options_.format) {
        case Format::Html: {
            const ReportKind heading = kind_ == EntryKind::Cookie  ? ReportKind::Cookies
                                       : kind_ == EntryKind::Cache ? ReportKind::Cache
                                                                   : ReportKind::History;
            out += ReportHead(heading);
            break;
        }
        case Format::Json:
            out += firstJson_ ? "\n" : ",\n";
            firstJson_ = false;
            out += "{\"file\":" + jsonPath_ + ",\"kind\":";
            json_.Append(out, KindName(kind_));
            out += std::string(",\"version52\":") + (version52_ ? "true" : "false") + ",\"columns\":[";
            for (std::size_t c = 0; c < columns_.size(); ++c) {
                if (c)
                    out += ',';
                json_.Append(out, columns_[c].title);
            }
            out += "],\"rows\":[";
            break;
        case Format::Tsv:
        case Format::Csv: {
            std::vector<std::string> header = {"File", "Kind"};
            for (const Column& c : columns_)
                header.push_back(c.title);
            Line(header);
            break;
        }
        case Format::Jsonl: break;
        }
    }

    void Line(const std::vector<std::string>& fields) {
        std::string& out = output_.Buffer();
        const bool csv = options_.format == Format::Csv;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i)
                out += csv ? ',' : '\t';
            if (csv)
                AppendCsvField(out, fields[i]);
            else
                AppendTsvField(out, fields[i]);
        }
        out += csv ? "\r\n" : "\n";
    }

    void Row(const PageEntry& entry) {
        std::string& out = output_.Buffer();
        if (options_.format == Format::Html) {
            out += ReportBlock(entry, dates_);
            return;
        }
        const tw::Row row = IndexFileRow(entry, kind_, dates_);
        if (options_.format == Format::Json) {
            out += rows_++ ? ",\n[" : "\n[";
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                if (c)
                    out += ',';
                json_.Append(out, row.cells[c].text);
            }
            out += ']';
            return;
        }
        fields_.assign({path_, KindName(kind_)});
        for (const Cell& cell : row.cells)
            fields_.push_back(cell.text);
        Line(fields_);
    }

    void JsonlLine(const IndexRecordView& r) {
        std::string& out = output_.Buffer();
        out += "{\"file\":" + jsonPath_;
        out += ",\"offset\":" + std::to_string(r.offset);
        out += ",\"size\":" + std::to_string(r.size);
        out += ",\"type\":\"";
        out += TypeName(r.type);
        out += "\",\"state\":\"";
        out += StateName(r.state);
        out += "\",\"url\":";
        json_.Append(out, r.url.text, r.url.length);
        if (r.type != IndexRecordType::Redirect) {
            if (r.titleUnits > 0) {
                char16_t units[kMaxTitleUnits];
                const std::size_t n = TitleUnits(r, units, kMaxTitleUnits);
                utf8_.clear();
                AppendUtf16AsUtf8(units, n, utf8_);
                out += ",\"title\":";
                AppendJsonUtf8(out, utf8_);
            }
            AppendTime(out, "last_modified", r.lastModified);
            AppendTime(out, "last_accessed", r.lastAccessed);
            AppendTime(out, "expiry", r.expiry);
            AppendTime(out, "last_checked", r.lastChecked);
            out += ",\"hits\":" + (r.hasHits ? std::to_string(r.hits) : std::string("null"));
            if (!r.localFile.Empty()) {
                out += ",\"local_file\":";
                json_.Append(out, r.localFile.text, r.localFile.length);
            }
            if (!r.cacheFolder.Empty()) {
                out += ",\"cache_folder\":";
                json_.Append(out, r.cacheFolder.text, r.cacheFolder.length);
            }
        }
        out += "}\n";
    }

    const char* path_;
    bool version52_;
    const Options& options_;
    Output& output_;
    bool& firstJson_;
    JsonText json_;
    DateTexts dates_;
    std::string jsonPath_;
    std::string utf8_;
    std::vector<Column> columns_;
    std::vector<std::string> fields_;
    EntryKind kind_ = EntryKind::History;
    bool sawUrl_ = false;
    std::size_t rows_ = 0;
    std::size_t allocated_ = 0, recovered_ = 0, readableRecovered_ = 0, unlinked_ = 0;
};

// Why a file cannot be dumped, or empty when it can.
std::string ProblemOf(const FileImage& image, FileImage::Status status, int result) {
    if (status == FileImage::kCannotOpen)
        return std::string("cannot open: ") + std::strerror(image.Error());
    if (status == FileImage::kCannotRead)
        return "cannot be read into memory";
    switch (result) {
    case kIndexVersion52:
    case kIndexOtherVersion: return std::string();
    case kIndexNotIndexFile: return "not an index file (no \"Client UrlCache MMF Ver\" header)";
    case kIndexNoUrlRecords: return "no URL records";
    default: return "too small to be an index file (" + std::to_string(image.Size()) + " bytes)";
    }
}

}  // namespace

int RunDump(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    Options options;
    std::string codePage = kDefaultCodePage;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        bool isFormat = true;
        if (arg == "--format" && i + 1 < argc) {
            value = argv[++i];
        } else if (arg.rfind("--format=", 0) == 0) {
            value = arg.substr(9);
        } else if (arg == "--codepage" && i + 1 < argc) {
            codePage = argv[++i];
            isFormat = false;
        } else if (arg.rfind("--codepage=", 0) == 0) {
            codePage = arg.substr(11);
            isFormat = false;
        } else if (arg == "--summary") {
            options.summary = true;
            isFormat = false;
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
        if (!isFormat)
            continue;
        if (value == "tsv") options.format = Format::Tsv;
        else if (value == "csv") options.format = Format::Csv;
        else if (value == "json") options.format = Format::Json;
        else if (value == "jsonl") options.format = Format::Jsonl;
        else if (value == "html") options.format = Format::Html;
        else {
            std::fprintf(err, "tidewell-dump: unknown format '%s' (tsv, csv, json, jsonl or html)\n", value.c_str());
            return 2;
        }
    }
    std::string problem;
    options.codePage = OpenCodePage(codePage, &problem);
    if (!options.codePage) {
        std::fprintf(err, "tidewell-dump: %s\n", problem.c_str());
        return 2;
    }
    if (files.empty()) {
        std::fprintf(err, "tidewell-dump: no index file given\n%s", kUsage);
        return 2;
    }
    if (options.format == Format::Html && !options.summary && files.size() != 1) {
        std::fprintf(err, "tidewell-dump: --format html makes one report of one index file\n%s", kUsage);
        return 2;
    }

    const bool json = options.format == Format::Json && !options.summary;
    int status = 0;
    bool firstJson = true;
    Output output(out);
    if (json)
        output.Buffer() += "[";
    for (const char* path : files) {
        FileImage image;
        const FileImage::Status opened = image.Open(path);
        const bool version52 = opened == FileImage::kOk && IndexVersionText(image.Data(), image.Size()).rfind("5.2", 0) == 0;
        FileDump dump(path, version52, options, output, firstJson);
        const int result = opened == FileImage::kOk ? VisitIndexImage(image.Data(), image.Size(), dump) : kIndexUnreadable;
        const std::string why = ProblemOf(image, opened, result);
        if (!why.empty()) {
            output.Flush();
            std::fprintf(err, "tidewell-dump: %s: %s\n", path, why.c_str());
            status = 2;
            continue;
        }
        dump.End(image.Data(), image.Size());
        if (result == kIndexOtherVersion) {
            output.Flush();
            std::fprintf(err, "tidewell-dump: %s: warning: index file version is not 5.2; read as 5.2\n", path);
        }
    }
    if (json)
        output.Buffer() += "\n]\n";
    output.Flush();
    return status;
}

}  // namespace tw
