// The job editor's two pattern lists: what to leave out of a job and what to take only.
#pragma once

#include "ui/jobs/filter_list.h"

namespace arkivo::ui {

class CFilter : public CFilterList {
  public:
    explicit CFilter(AppContext& context)
        : CFilterList(context, context.stores.filter, context.stores.filterInc, L"ExcludedFile") {}
};

class CFilterInc : public CFilterList {
  public:
    explicit CFilterInc(AppContext& context)
        : CFilterList(context, context.stores.filterInc, context.stores.filter, L"IncludedFile") {}
};

}  // namespace arkivo::ui
