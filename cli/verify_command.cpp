#include "cli/verify_command.h"

#include <iostream>
#include <memory>

#include "zip/verify.h"

namespace arkivo::cli {
namespace {

const char* EntryText(zip::EntryCheck check) {
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

const char* ArchiveText(zip::ArchiveCheck check) {
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

int Verify(const Context& context, const std::vector<std::string>& archives) {
    int failed = 0;
    for (const auto& archive : archives) {
        const auto verdict = zip::VerifyZipArchive(context.invocationFolder / archive);
        for (const auto& entry : verdict.entries) {
            if (entry.check != zip::EntryCheck::Ok) {
                std::cerr << "arkivo: " << archive << ": " << entry.name << ": "
                          << EntryText(entry.check) << '\n';
            }
        }
        if (verdict.status == zip::ArchiveCheck::Ok) {
            std::cout << archive << ": " << verdict.entries.size() << " entries, all ok\n";
        } else {
            std::cerr << "arkivo: " << archive << " " << ArchiveText(verdict.status) << '\n';
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

void AddVerifyCommand(CLI::App& app, CommandAction& action) {
    auto archives = std::make_shared<std::vector<std::string>>();
    auto* verify = app.add_subcommand("verify", "check archives written by a run, entry by entry");
    verify->add_option("ARCHIVE", *archives, "the archives")->required();
    verify->callback([&action, archives] {
        action = [archives](Context& context) { return Verify(context, *archives); };
    });
}

}  // namespace arkivo::cli
