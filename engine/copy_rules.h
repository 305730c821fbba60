// When a file needs copying, for each backup type. All times are whole seconds since 1970 and
// every comparison is strict.
#pragma once

#include <cstdint>

#include "platform/file_system.h"

namespace arkivo::engine {

struct CopyDecision {
    bool copy = false;
    bool referenceMissing = false;   // reported as created
    bool referenceOutdated = false;  // reported as updated
};

class CopyRule {
  public:
    virtual ~CopyRule() = default;
    // Whether Decide looks at the file of the same path under the reference root.
    virtual bool NeedsReference() const = 0;
    virtual CopyDecision Decide(const platform::FileInfo& source,
                                const platform::FileInfo* reference) const = 0;
};

// Differential, and synchronisation to where an upload takes the transfer time: missing from
// the reference, or written later than it.
class NewerThanReference : public CopyRule {
  public:
    bool NeedsReference() const override { return true; }
    CopyDecision Decide(const platform::FileInfo& source,
                        const platform::FileInfo* reference) const override;
};

// Synchronisation between local folders, which keep the source's time on every copy: missing
// from the reference, or of another size or last-write time. A source restored from an older
// version, or a copy changed in the target, is copied again, so the target mirrors the base.
class DiffersFromReference : public CopyRule {
  public:
    bool NeedsReference() const override { return true; }
    CopyDecision Decide(const platform::FileInfo& source,
                        const platform::FileInfo* reference) const override;
};

// Incremental: created or written after the last incremental run.
class ChangedSince : public CopyRule {
  public:
    explicit ChangedSince(std::int64_t since) : since_(since) {}
    bool NeedsReference() const override { return false; }
    CopyDecision Decide(const platform::FileInfo& source,
                        const platform::FileInfo* reference) const override;

  private:
    std::int64_t since_;
};

// Period: written before the end, and created or written after the start.
class WithinPeriod : public CopyRule {
  public:
    WithinPeriod(std::int64_t start, std::int64_t end) : start_(start), end_(end) {}
    bool NeedsReference() const override { return false; }
    CopyDecision Decide(const platform::FileInfo& source,
                        const platform::FileInfo* reference) const override;

  private:
    std::int64_t start_;
    std::int64_t end_;
};

}  // namespace arkivo::engine
