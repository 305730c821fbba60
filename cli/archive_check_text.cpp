#include "cli/archive_check_text.h"

#include <ostream>

#include "cli/console.h"
#include "cli/quantities.h"

namespace arkivo::cli {

const char* EntryCheckText(zip::EntryCheck check) {
    switch (check) {
        case zip::EntryCheck::Ok:
            return "ok";
        case zip::EntryCheck::BadLocalHeader:
            return "bad local header";
        case zip::EntryCheck::HeaderMismatch:
            return "local header disagrees with the directory";
        case zip::EntryCheck::Overlapping:
            return "shares its bytes with another entry (not decoded)";
        case zip::EntryCheck::UnsupportedMethod:
            return "unsupported compression method";
        case zip::EntryCheck::BadData:
            return "damaged data";
        case zip::EntryCheck::SizeMismatch:
            return "wrong size";
        case zip::EntryCheck::CrcMismatch:
            return "CRC mismatch";
        case zip::EntryCheck::ReadFailed:
            return "could not be read";
    }
    return "?";
}

const char* ArchiveCheckText(zip::ArchiveCheck check) {
    switch (check) {
        case zip::ArchiveCheck::Ok:
            return "ok";
        case zip::ArchiveCheck::CannotOpen:
            return "cannot be opened";
        case zip::ArchiveCheck::NoEndRecord:
            return "has no end record (not a complete archive)";
        case zip::ArchiveCheck::BadDirectory:
            return "has a damaged central directory";
        case zip::ArchiveCheck::OverlappingEntries:
            return "has entries that overlap one another: refused";
        case zip::ArchiveCheck::EntriesFailed:
            return "has damaged entries";
    }
    return "?";
}

void PrintVerdict(std::ostream* out, std::ostream& errors, const std::string& shownArchive,
                  const zip::ArchiveVerdict& verdict) {
    for (const auto& entry : verdict.entries) {
        if (entry.check != zip::EntryCheck::Ok) {
            errors << "arkivo: " << shownArchive << ": " << ShownPath(entry.name) << ": "
                   << EntryCheckText(entry.check) << '\n';
        }
    }
    if (verdict.status != zip::ArchiveCheck::Ok) {
        errors << "arkivo: " << shownArchive << " " << ArchiveCheckText(verdict.status) << '\n';
    } else if (out != nullptr) {
        *out << shownArchive << ": " << Counted(verdict.entries.size(), "entry", "entries")
             << ", all intact\n";
    }
}

}  // namespace arkivo::cli
