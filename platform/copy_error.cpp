#include "platform/file_system.h"

namespace arkivo::platform {
namespace {

class CopyErrorCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "copy"; }
    std::string message(int code) const override {
        switch (static_cast<CopyError>(code)) {
            case CopyError::SourceChanged:
                return "the file changed while it was copied";
        }
        return "the copy failed";
    }
};

}  // namespace

std::error_code make_error_code(CopyError error) {
    static const CopyErrorCategory category;
    return {static_cast<int>(error), category};
}

}  // namespace arkivo::platform
