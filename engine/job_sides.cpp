#include "engine/job_sides.h"

#include "engine/job_walk.h"

namespace arkivo::engine {

JobSides OpenJobSides(RunEnvironment&, JobContext&, const JobRecord&, const JobWalk& walk) {
    JobSides sides;
    sides.base = std::make_unique<LocalTree>(walk.base);
    sides.target = walk.target;
    return sides;
}

}  // namespace arkivo::engine
