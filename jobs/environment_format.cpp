#include "jobs/environment_format.h"

#include <array>
#include <optional>

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

  private:
    static constexpr std::size_t kBudget = 256;

    std::optional<char16_t> Next(std::size_t& count) {
        if (count == kBudget || pos_ >= text_.size()) {
            return std::nullopt;
        }
        ++count;
        return text_[pos_++];
    }

    bool ReadUntil(char16_t separator, std::u16string* value) {
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
};

std::uint32_t ToU32(const std::u16string& value) {
    return static_cast<std::uint32_t>(ParseLeadingInt(value));
}

std::uint64_t ToU64(const std::u16string& value) {
    return ParseLeadingUnsigned(value);
}

bool ReadJob(Scanner& scanner, JobRecord& job) {
    if (!scanner.SkipTo(u':')) {
        return false;
    }
    std::array<std::u16string, 21> fields;
    for (auto& f : fields) {
        auto value = scanner.ReadToComma();
        if (!value) {
            return false;
        }
        f = std::move(*value);
    }
    const std::array<std::u16string*, 7> texts = {
        &job.basePath,         &job.targetPath,      &job.state,
        &job.baseFtpUser,      &job.baseFtpPassword, &job.targetFtpUser,
        &job.targetFtpPassword};
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
    for (const auto* text : texts) {
        if (text->size() > kMaxJobText) {
            return false;
        }
    }
    return job.state.size() <= kMaxJobStateText;
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

void DecodeEnvironment(std::string_view bytes, JobTable& table) {
    const std::u16string text = UndoTextModeLineEnds(bytes);
    Scanner scanner(text);
    table.jobs.clear();
    table.loadStatus = LoadStatus::BadFormat;

    std::optional<std::u16string> version, base, target;
    if (!scanner.SkipTo(u':') || !(version = scanner.ReadToComma()) || !scanner.SkipTo(u':') ||
        !(base = scanner.ReadToComma()) || !scanner.SkipTo(u':') ||
        !(target = scanner.ReadToComma())) {
        return;
    }
    if (base->size() > kMaxJobText || target->size() > kMaxJobText) {
        return;
    }
    table.version = static_cast<std::uint32_t>(ParseLeadingInt(*version));
    table.lastBasePath = *base;
    table.lastTargetPath = *target;

    const auto section = scanner.ReadBracketed();
    if (!section) {
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
        if (!ReadJob(scanner, job)) {
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

}  // namespace arkivo
