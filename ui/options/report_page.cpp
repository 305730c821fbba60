#include "ui/options/report_page.h"

#include "common/text.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/options/option_store.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr std::u16string_view kSection = u"Report";

struct ReportBox {
    int id;
    std::u16string_view key;
    TextKey caption;
};

constexpr std::array<ReportBox, 4> kBoxes = {{
    {IDC_REPORT_ON, u"ReportOn", text::ReportOn},
    {IDC_REPORT_UPDATED, u"ReportUpdatedOn", text::ReportUpdatedOn},
    {IDC_REPORT_CREATED, u"ReportCreatedOn", text::ReportCreatedOn},
    {IDC_REPORT_DELETED, u"ReportDeletedOn", text::ReportDeletedOn},
}};

}  // namespace

CReport::CReport(AppContext& context) : CDialog(IDD_REPORT_PAGE), context_(context) {
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        values_[i] = static_cast<int>(ReadNumber(context_.stores.option, kSection, kBoxes[i].key));
        map().OnCommand(kBoxes[i].id, [this, i] { Toggle(i); });
    }
}

void CReport::OnInitDialog() {
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        SetItemText(hwnd(), kBoxes[i].id, context_.stores.language, kBoxes[i].caption);
        ::CheckDlgButton(hwnd(), kBoxes[i].id, values_[i] ? BST_CHECKED : BST_UNCHECKED);
    }
    EnableLists();
}

// The lists belong to a report: without one they cannot be chosen.
void CReport::EnableLists() {
    for (std::size_t i = 1; i < kBoxes.size(); ++i) {
        ::EnableWindow(Item(kBoxes[i].id), values_[0] == 1);
    }
}

void CReport::Toggle(std::size_t option) {
    values_[option] = values_[option] ? 0 : 1;
    ::CheckDlgButton(hwnd(), kBoxes[option].id, values_[option] ? BST_CHECKED : BST_UNCHECKED);
    if (option == 0) {
        EnableLists();
    }
    StoreOption(hwnd(), context_.stores, kSection, kBoxes[option].key, ToDecimal(values_[option]));
}

}  // namespace arkivo::ui
