// The job editor opened modeless over a fresh program folder with two jobs, for driving its
// pattern lists in-process.
#pragma once

#include <windows.h>
// GoogleTest after the Windows declarations it may use.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui_support.h"
#include "ui/modify_list.h"

namespace arkivo::test {

class JobEditorTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the editor of the job (0-based) with the interface in the language.
    void Open(std::size_t job = 0, int language = 0);

    // Writes a settings file of the program folder, lines separated by line breaks.
    void WriteFile(std::string_view name, std::string_view text);
    // Patterns 1..count as "pattern1", "pattern2", ... in the job's section of the file.
    void WritePatterns(std::string_view name, int job, int count);
    // The section as the file holds it now, as "key=value" in file order.
    std::vector<std::u16string> Stored(std::string_view name, std::u16string_view section);
    unsigned FilterOn(std::size_t job) const;

    HWND editor() const { return dialog_->hwnd(); }
    HWND exclude() const { return dialog_->excludeList().hwnd(); }
    HWND include() const { return dialog_->includeList().hwnd(); }
    // The texts of one column of a list, top row first.
    std::vector<std::u16string> Column(HWND list, int column) const;
    void Select(HWND list, const std::vector<int>& rows);
    // The centre of a row, at the given x (list client coordinates).
    POINT RowPoint(HWND list, int row, int x) const;
    void ClickAt(HWND list, POINT at);
    void Command(HWND list, int command);

    ProgramFolder folder_;
    AppStores stores_;
    std::unique_ptr<ui::AppContext> context_;
    ui::OptionBlock options_;
    std::u16string base_ = u"C:\\base1";
    std::u16string target_ = u"D:\\target1";
    std::unique_ptr<ui::ModifyList> dialog_;
    ModalDriver driver_;
};

}  // namespace arkivo::test
