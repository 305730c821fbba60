#include "engine/copy_rules.h"

namespace arkivo::engine {

CopyDecision NewerThanReference::Decide(const platform::FileInfo& source,
                                        const platform::FileInfo* reference) const {
    CopyDecision decision;
    if (reference == nullptr || reference->IsFolder()) {
        decision.copy = decision.referenceMissing = true;
        return decision;
    }
    decision.referenceOutdated = FileTimeToUnixSeconds(source.lastWriteTime) >
                                 FileTimeToUnixSeconds(reference->lastWriteTime);
    decision.copy = decision.referenceOutdated;
    return decision;
}

CopyDecision DiffersFromReference::Decide(const platform::FileInfo& source,
                                          const platform::FileInfo* reference) const {
    CopyDecision decision;
    if (reference == nullptr || reference->IsFolder()) {
        decision.copy = decision.referenceMissing = true;
        return decision;
    }
    decision.referenceOutdated =
        source.size != reference->size || FileTimeToUnixSeconds(source.lastWriteTime) !=
                                              FileTimeToUnixSeconds(reference->lastWriteTime);
    decision.copy = decision.referenceOutdated;
    return decision;
}

CopyDecision ChangedSince::Decide(const platform::FileInfo& source,
                                  const platform::FileInfo*) const {
    CopyDecision decision;
    decision.copy = FileTimeToUnixSeconds(source.creationTime) > since_ ||
                    FileTimeToUnixSeconds(source.lastWriteTime) > since_;
    decision.referenceMissing = decision.copy;
    return decision;
}

CopyDecision WithinPeriod::Decide(const platform::FileInfo& source,
                                  const platform::FileInfo*) const {
    const auto created = FileTimeToUnixSeconds(source.creationTime);
    const auto written = FileTimeToUnixSeconds(source.lastWriteTime);
    CopyDecision decision;
    decision.copy = written < end_ && (created > start_ || written > start_);
    decision.referenceMissing = decision.copy;
    return decision;
}

}  // namespace arkivo::engine
