#include "jobs/environment_format.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "common/text.h"

namespace arkivo {

std::string ApplyTextModeLineEnds(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2 + text.size() / 8);
    auto put = [&bytes](unsigned char b) {
        if (b == 0x0A) {
            bytes.push_back('\x0D');
        }
        bytes.push_back(static_cast<char>(b));
    };
    for (char16_t unit : text) {
        put(static_cast<unsigned char>(unit & 0xFF));
        put(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

std::u16string UndoTextModeLineEnds(std::string_view bytes) {
    std::string raw;
    raw.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\x0D' && i + 1 < bytes.size() && bytes[i + 1] == '\x0A') {
            continue;
        }
        raw.push_back(bytes[i]);
    }
    std::u16string text;
    text.reserve(raw.size() / 2);
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(raw[i]) |
                                             (static_cast<unsigned char>(raw[i + 1]) << 8)));
    }
    return text;
}

namespace {

std::u16string_view Clip(const std::u16string& text) {
    return std::u16string_view(text).substr(0, kMaxJobText);
}

void AppendJobLine(std::u16string& out, const JobRecord& job, bool last) {
    auto field = [&out](std::u16string_view value) {
        out += value;
        out += u',';
    };
    out += u"PATH";
    out += ToDecimalUnsigned(job.jobNumber);
    out += u" :";
    field(ToDecimalUnsigned(job.checked).substr(0, 1));
    field(ToDecimal(static_cast<std::int32_t>(job.jobNumber)));
    field(ToDecimal(static_cast<std::int32_t>(job.filterOn)));
    field(ToDecimal(static_cast<std::int32_t>(job.backupType)));
    field(ToDecimal(static_cast<std::int32_t>(job.zipOption)));
    field(ToDecimalUnsigned(job.periodStart));
    field(ToDecimalUnsigned(job.periodEnd));
    field(Clip(job.basePath));
    field(Clip(job.targetPath));
    field(ToDecimalUnsigned(job.lastBackupTime));
    field(ToDecimalUnsigned(job.lastSyncTime));
    field(ToDecimalUnsigned(job.lastIncTime));
    field(Clip(job.state));
    field(Clip(job.baseFtpUser));
    field(Clip(job.baseFtpPassword));
    field(Clip(job.targetFtpUser));
    field(Clip(job.targetFtpPassword));
    field(ToDecimal(static_cast<std::int32_t>(job.baseFtpPort)));
    field(ToDecimal(static_cast<std::int32_t>(job.baseFtpPassive)));
    field(ToDecimal(static_cast<std::int32_t>(job.targetFtpPort)));
    field(ToDecimal(static_cast<std::int32_t>(job.targetFtpPassive)));
    if (last) {
        out += u']';
    }
    out += u'\n';
}

// The positional scanner. Each primitive may read at most 256 code units.
class Scanner {
  public:
    explicit Scanner(std::u16string_view text) : text_(text) {}

    bool SkipTo(char16_t separator) { return ReadUntil(separator, nullptr); }

    std::optional<std::u16string> ReadToComma() {
        std::u16string value;
        if (!ReadUntil(u',', &value)) {
            return std::nullopt;
        }
        return value;
    }

    // skip-to("[") and the read up to "]" share one budget.
    std::optional<std::u16string> ReadBracketed() {
        Begin();
        std::size_t count = 0;
        for (;;) {
            auto unit = Next(count);
            if (!unit) {
                return std::nullopt;
            }
            if (*unit == u'[') {
                break;
            }
        }
        std::u16string result = u"[";
        for (;;) {
            auto unit = Next(count);
            if (!unit) {
                return std::nullopt;
            }
            result.push_back(*unit);
            if (*unit == u']') {
                return result;
            }
        }
    }

    std::optional<char16_t> ReadOne() {
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        return text_[pos_++];
    }

    // The 1-based line on which the last primitive began, and the one on which it stopped.
    std::size_t StartLine() const { return LineAt(start_); }
    std::size_t StopLine() const { return LineAt(pos_); }

    // Whether the last primitive that failed ran out of text rather than out of budget.
    bool ReachedEnd() const { return pos_ >= text_.size(); }

  private:
    static constexpr std::size_t kBudget = 256;

    std::size_t LineAt(std::size_t pos) const {
        const auto end = text_.begin() + static_cast<std::ptrdiff_t>(pos);
        return 1 + static_cast<std::size_t>(std::count(text_.begin(), end, u'\n'));
    }

    void Begin() {
        // Line breaks between fields belong to no field: a field begins where its text does.
        start_ = pos_;
        while (start_ < text_.size() && (text_[start_] == u'\n' || text_[start_] == u'\r')) {
            ++start_;
        }
    }

    std::optional<char16_t> Next(std::size_t& count) {
        if (count == kBudget || pos_ >= text_.size()) {
            return std::nullopt;
        }
        ++count;
        return text_[pos_++];
    }

    bool ReadUntil(char16_t separator, std::u16string* value) {
        Begin();
        std::size_t count = 0;
        for (;;) {
            auto unit = Next(count);
            if (!unit) {
                return false;
            }
            if (*unit == separator) {
                return true;
            }
            if (value) {
                value->push_back(*unit);
            }
        }
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
    std::size_t start_ = 0;
};

std::uint32_t ToU32(const std::u16string& value) {
    return static_cast<std::uint32_t>(ParseLeadingInt(value));
}

std::uint64_t ToU64(const std::u16string& value) {
    return ParseLeadingUnsigned(value);
}

constexpr std::array<std::string_view, 21> kJobFieldNames = {"tick",
                                                             "job number",
                                                             "filter switch",
                                                             "backup type",
                                                             "ZIP switch",
                                                             "period start",
                                                             "period end",
                                                             "base path",
                                                             "target path",
                                                             "last backup time",
                                                             "last sync time",
                                                             "last incremental time",
                                                             "state",
                                                             "base FTP user",
                                                             "base FTP password",
                                                             "target FTP user",
                                                             "target FTP password",
                                                             "base FTP port",
                                                             "base FTP passive mode",
                                                             "target FTP port",
                                                             "target FTP passive mode"};

// The paths, the state and the FTP user names and passwords; the others hold numbers.
bool IsTextField(std::size_t index) {
    return index == 7 || index == 8 || (index >= 12 && index <= 16);
}

constexpr std::string_view kTooLong = "more than 254 characters";

// What a primitive that failed was looking for.
enum class Expected { Colon, Comma, TextEnd, Section };

// Records where reading stopped; the scanner's last primitive is the one that failed.
class ProblemRecorder {
  public:
    ProblemRecorder(const Scanner& scanner, EnvironmentFormatProblem* problem)
        : scanner_(scanner), problem_(problem) {}

    // The file ended first (told at its last line), or what was looked for lies beyond the
    // reader's reach (told at the line where the field begins).
    void NotFound(std::string_view fieldName, Expected expected, std::size_t job = 0,
                  std::size_t field = 0) {
        if (scanner_.ReachedEnd()) {
            Set(scanner_.StopLine(), fieldName, EndText(expected), job, field);
        } else {
            Record(fieldName, FarText(expected), job, field);
        }
    }

    // A field that was read whole but cannot be taken.
    void Record(std::string_view fieldName, std::string_view what, std::size_t job = 0,
                std::size_t field = 0) {
        Set(scanner_.StartLine(), fieldName, what, job, field);
    }

  private:
    static std::string_view EndText(Expected expected) {
        switch (expected) {
            case Expected::Colon:
                return "the file ends before its ':'";
            case Expected::Comma:
            case Expected::TextEnd:
                return "the file ends before its ','";
            case Expected::Section:
                break;
        }
        return "the file ends before the next section";
    }
    static std::string_view FarText(Expected expected) {
        switch (expected) {
            case Expected::Colon:
                return "no ':' within 256 characters";
            case Expected::Comma:
                return "no ',' within 256 characters";
            case Expected::TextEnd:
                return kTooLong;
            case Expected::Section:
                break;
        }
        return "no section within 256 characters";
    }

    void Set(std::size_t line, std::string_view fieldName, std::string_view what, std::size_t job,
             std::size_t field) {
        if (problem_ != nullptr) {
            *problem_ = {line, job, field, fieldName, what};
        }
    }

    const Scanner& scanner_;
    EnvironmentFormatProblem* problem_;
};

bool ReadJob(Scanner& scanner, ProblemRecorder& problems, std::size_t jobNumber, JobRecord& job) {
    if (!scanner.SkipTo(u':')) {
        problems.NotFound("job label", Expected::Colon, jobNumber);
        return false;
    }
    std::array<std::u16string, 21> fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto value = scanner.ReadToComma();
        if (!value) {
            problems.NotFound(kJobFieldNames[i],
                              IsTextField(i) ? Expected::TextEnd : Expected::Comma, jobNumber,
                              i + 1);
            return false;
        }
        if (IsTextField(i) && value->size() > kMaxJobText) {
            problems.Record(kJobFieldNames[i], kTooLong, jobNumber, i + 1);
            return false;
        }
        fields[i] = std::move(*value);
    }
    job.checked = ToU32(fields[0]);
    job.jobNumber = ToU32(fields[1]);
    job.filterOn = ToU32(fields[2]);
    job.backupType = ToU32(fields[3]);
    job.zipOption = ToU32(fields[4]);
    job.periodStart = ToU64(fields[5]);
    job.periodEnd = ToU64(fields[6]);
    job.basePath = fields[7];
    job.targetPath = fields[8];
    job.lastBackupTime = ToU64(fields[9]);
    job.lastSyncTime = ToU64(fields[10]);
    job.lastIncTime = ToU64(fields[11]);
    job.state = fields[12];
    job.baseFtpUser = fields[13];
    job.baseFtpPassword = fields[14];
    job.targetFtpUser = fields[15];
    job.targetFtpPassword = fields[16];
    job.baseFtpPort = ToU32(fields[17]);
    job.baseFtpPassive = ToU32(fields[18]);
    job.targetFtpPort = ToU32(fields[19]);
    job.targetFtpPassive = ToU32(fields[20]);
    if (job.state.size() > kMaxJobStateText) {
        problems.Record(kJobFieldNames[12], "more than 4 characters", jobNumber, 13);
        return false;
    }
    return true;
}

}  // namespace

std::string EncodeEnvironment(const JobTable& table) {
    std::u16string text;
    text += u"[FILE_TITLE]\n";
    text += u"VERSION :" + ToDecimalUnsigned(table.version) + u",\n";
    text += u"[LAST PATH]\n";
    text += u"BASE PATH :" + std::u16string(Clip(table.lastBasePath)) + u",\n";
    text += u"TARGET PATH :" + std::u16string(Clip(table.lastTargetPath)) + u",]\n";
    if (!table.jobs.empty()) {
        text += u"[JOB LIST]\n";
        for (std::size_t i = 0; i < table.jobs.size(); ++i) {
            AppendJobLine(text, table.jobs[i], i + 1 == table.jobs.size());
        }
    }
    text += u"\n[END]";
    return ApplyTextModeLineEnds(text);
}

void DecodeEnvironment(std::string_view bytes, JobTable& table, EnvironmentFormatProblem* problem) {
    const std::u16string text = UndoTextModeLineEnds(bytes);
    Scanner scanner(text);
    ProblemRecorder problems(scanner, problem);
    table.jobs.clear();
    table.loadStatus = LoadStatus::BadFormat;

    // The three entries of the head: a label up to ":", then the value up to ",".
    const std::array<std::string_view, 3> headNames = {"version", "last base path",
                                                       "last target path"};
    std::array<std::u16string, 3> head;
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (!scanner.SkipTo(u':')) {
            problems.NotFound(headNames[i], Expected::Colon);
            return;
        }
        auto value = scanner.ReadToComma();
        if (!value) {
            problems.NotFound(headNames[i], i > 0 ? Expected::TextEnd : Expected::Comma);
            return;
        }
        if (i > 0 && value->size() > kMaxJobText) {
            problems.Record(headNames[i], kTooLong);
            return;
        }
        head[i] = std::move(*value);
    }
    table.version = static_cast<std::uint32_t>(ParseLeadingInt(head[0]));
    table.lastBasePath = head[1];
    table.lastTargetPath = head[2];

    const auto section = scanner.ReadBracketed();
    if (!section) {
        problems.NotFound("section after the last paths", Expected::Section);
        return;
    }
    if (*section != u"[JOB LIST]") {
        table.jobListFlag = kNoJobList;
        table.loadStatus = LoadStatus::Ok;
        return;
    }
    table.jobListFlag = kHasJobList;
    for (std::size_t k = 0; k < kMaxJobs; ++k) {
        JobRecord job;
        if (!ReadJob(scanner, problems, k + 1, job)) {
            table.jobs.clear();
            return;
        }
        table.jobs.push_back(std::move(job));
        if (scanner.ReadOne() == u']') {
            table.loadStatus = LoadStatus::Ok;
            return;
        }
    }
    table.jobs.clear();
    table.loadStatus = LoadStatus::TooManyJobs;
}

std::u16string DescribeFormatProblem(const EnvironmentFormatProblem& problem) {
    std::string text = "line " + std::to_string(problem.line);
    std::string where;
    if (problem.job != 0) {
        where = "job " + std::to_string(problem.job);
    }
    if (problem.field != 0) {
        where += ", field " + std::to_string(problem.field);
    }
    if (!problem.fieldName.empty()) {
        // "field 8 'base path'", "job 1, 'job label'", "'version'".
        const char* gap = problem.field != 0 ? " '" : where.empty() ? "'" : ", '";
        where += gap + std::string(problem.fieldName) + "'";
    }
    if (!where.empty()) {
        text += " (" + where + ")";
    }
    return AsciiToUtf16(text + ": " + std::string(problem.what));
}

}  // namespace arkivo
