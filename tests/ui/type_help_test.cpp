// The help button of each backup type page: it opens the type's own help dialog over the job
// editor, in the interface language, with its picture moving, and OK brings the editor back
// with the job as it was.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "gui_support.h"
#include "settings/lang_ini.h"
#include "ui/jobs/type_pages.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

struct HelpCase {
    const char* name;
    BackupType type;
    int radio;
    int button;
    int dialog;
    int picture;
    TextKey caption;
    TextKey first;
    // Null for a dialog that has no second text field.
    std::optional<TextKey> second;
};

const HelpCase kHelpCases[] = {
    {"Sync", BackupType::Sync, IDC_TYPE_SYNC, 1093, 180, IDB_HELP_SYNC, text::StaticSync,
     text::TypeHelpSync1, std::nullopt},
    {"Dif", BackupType::Dif, IDC_TYPE_DIF, 1092, 177, IDB_HELP_DIF, text::StaticDif,
     text::TypeHelpDif1, text::TypeHelpDif1},
    {"Inc", BackupType::Inc, IDC_TYPE_INC, 1093, 178, IDB_HELP_INC, text::StaticInc,
     text::TypeHelpInc1, text::TypeHelpInc2},
    {"Spd", BackupType::Spd, IDC_TYPE_SPD, 1094, 179, IDB_HELP_SPD, text::StaticSpd,
     text::TypeHelpSpd1, text::TypeHelpSpd2},
};

// Test listings name the case rather than dump its bytes.
void PrintTo(const HelpCase& help, std::ostream* out) {
    *out << help.name;
}

constexpr const char* kLanguageNames[] = {"English", "Japanese", "Korean"};

// Rounds of the modal loop's steps before the test gives up on the picture moving.
constexpr int kMaxRounds = 200;

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The part's place in the dialog's client area.
RECT PlaceIn(HWND dialog, HWND part) {
    RECT place{};
    ::GetWindowRect(part, &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The height the label's text takes, wrapped at the label's width in the label's font.
int NeededHeight(HWND label) {
    const std::u16string text = Text(label);
    const std::wstring wide(text.begin(), text.end());
    RECT area{};
    ::GetClientRect(label, &area);
    HDC dc = ::GetDC(label);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc, wide.c_str(), -1, &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    return area.bottom - area.top;
}

// What keeps the help from being read: a text cut off at its bottom, two parts on top of each
// other, or a part beyond the dialog's edge.
std::vector<std::string> LayoutProblems(HWND dialog) {
    std::vector<std::pair<std::string, HWND>> parts;
    for (const auto& [name, id] :
         {std::pair{"picture", IDC_TYPE_HELP_ANIMATION},
          std::pair{"first text", IDC_TYPE_HELP_TEXT1},
          std::pair{"second text", IDC_TYPE_HELP_TEXT2}, std::pair{"OK", IDOK}}) {
        if (const HWND part = ::GetDlgItem(dialog, id)) {
            parts.emplace_back(name, part);
        }
    }
    std::vector<std::string> problems;
    RECT client{};
    ::GetClientRect(dialog, &client);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const RECT place = PlaceIn(dialog, parts[i].second);
        RECT inside{};
        if (!::IntersectRect(&inside, &place, &client) || !::EqualRect(&inside, &place)) {
            problems.push_back(parts[i].first + " beyond the edge");
        }
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            const RECT other = PlaceIn(dialog, parts[j].second);
            RECT common{};
            if (::IntersectRect(&common, &place, &other)) {
                problems.push_back(parts[i].first + " over " + parts[j].first);
            }
        }
        if (parts[i].first.ends_with("text")) {
            const int needed = NeededHeight(parts[i].second);
            if (needed > place.bottom - place.top) {
                problems.push_back(parts[i].first + " needs " + std::to_string(needed) +
                                   " pixels, has " + std::to_string(place.bottom - place.top));
            }
        }
    }
    return problems;
}

// What the help dialog showed while it was open, read on the dialogs' own thread.
struct SeenHelp {
    HWND window = nullptr;
    HWND owner = nullptr;
    bool editorEnabled = true;
    int templateId = 0;
    int picture = 0;
    int firstFrame = -1;
    bool moved = false;
    std::u16string caption;
    std::u16string first;
    std::optional<std::u16string> second;
    std::vector<std::string> layoutProblems;
};

class TypeHelpTest : public JobEditorTest,
                     public ::testing::WithParamInterface<std::tuple<HelpCase, int>> {
  protected:
    const HelpCase& help() const { return std::get<0>(GetParam()); }
    int language() const { return std::get<1>(GetParam()); }

    // The text as the language file in use holds it; never empty, and in a language other
    // than English not the English text, so that a match shows the file was read.
    std::u16string Expected(const TextKey& key) const {
        CLangIni file;
        file.Open(folder_ / std::string(LanguageFileName(language())));
        const auto value = file.GetValue(key);
        EXPECT_FALSE(value.empty());
        if (language() != 0) {
            EXPECT_NE(value, folder_.English(key));
        }
        return value;
    }

    // Opens the type's page in the editor and clicks its help button; the dialog is read
    // while it is open and then closed with its OK button.
    SeenHelp ClickHelp(HWND page) {
        auto* typePage = static_cast<const ui::CBackupTypePage*>(dialog_->TypePage(help().type));
        SeenHelp seen;
        int rounds = 0;
        ModalLoopSteps steps([&] {
            const ui::CBackupTypeHelp* open = typePage->help();
            if (open == nullptr || !::IsWindowVisible(open->hwnd())) {
                return false;
            }
            if (seen.window == nullptr) {
                seen.window = open->hwnd();
                seen.owner = ::GetWindow(open->hwnd(), GW_OWNER);
                seen.editorEnabled = ::IsWindowEnabled(editor());
                seen.templateId = open->templateId();
                seen.picture = open->animation().playing();
                seen.firstFrame = open->animation().frame();
                seen.caption = Text(open->hwnd());
                seen.first = ItemText(open->hwnd(), IDC_TYPE_HELP_TEXT1);
                if (const HWND second = ::GetDlgItem(open->hwnd(), IDC_TYPE_HELP_TEXT2)) {
                    seen.second = Text(second);
                }
                seen.layoutProblems = LayoutProblems(open->hwnd());
            }
            seen.moved = open->animation().frame() != seen.firstFrame;
            if (!seen.moved && ++rounds < kMaxRounds) {
                return false;
            }
            Click(open->hwnd(), IDOK);
            return true;
        });
        Click(page, help().button);
        return seen;
    }
};

TEST_P(TypeHelpTest, TheHelpButtonShowsTheTypesHelpAndOkReturnsToTheUnchangedEditor) {
    folder_.Change([&](JobTable& table) {
        table.jobs[1].backupType = static_cast<std::uint32_t>(help().type);
    });
    Open(1, language());
    ASSERT_EQ(dialog_->chosenType(), help().type);
    const auto* typePage = static_cast<const ui::CBackupTypePage*>(dialog_->TypePage(help().type));
    ASSERT_NE(typePage, nullptr);
    const HWND page = typePage->hwnd();
    const HWND button = ::GetDlgItem(page, help().button);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(::IsWindowVisible(button));
    EXPECT_NE(::SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0), 0) << "the button shows its icon";
    EXPECT_EQ(typePage->toolTips().Text(button), Expected(text::ButtonHelpInDetail));
    const std::string environment = Contents(folder_.Environment());
    const std::string setting = Contents(folder_ / "Setting.ini");
    EXPECT_EQ(typePage->help(), nullptr);

    const SeenHelp seen = ClickHelp(page);

    ASSERT_NE(seen.window, nullptr) << "no help dialog appeared";
    EXPECT_EQ(seen.owner, editor());
    EXPECT_FALSE(seen.editorEnabled) << "the help is modal";
    EXPECT_EQ(seen.templateId, help().dialog);
    EXPECT_EQ(seen.caption, Expected(help().caption));
    EXPECT_EQ(seen.first, Expected(help().first));
    if (help().second) {
        EXPECT_EQ(seen.second, Expected(*help().second));
    } else {
        EXPECT_FALSE(seen.second.has_value());
    }
    EXPECT_EQ(seen.layoutProblems, std::vector<std::string>{});
    EXPECT_EQ(seen.picture, help().picture);
    EXPECT_TRUE(seen.moved) << "the picture stood still";

    EXPECT_FALSE(::IsWindow(seen.window)) << "OK closes the help";
    EXPECT_EQ(typePage->help(), nullptr) << "the dialog lives for one display";
    EXPECT_TRUE(::IsWindowEnabled(editor()));
    EXPECT_TRUE(::IsWindowVisible(page));
    EXPECT_EQ(dialog_->chosenType(), help().type);
    EXPECT_EQ(Contents(folder_.Environment()), environment);
    EXPECT_EQ(Contents(folder_ / "Setting.ini"), setting);
    EXPECT_TRUE(driver_.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(EachTypeAndLanguage, TypeHelpTest,
                         ::testing::Combine(::testing::ValuesIn(kHelpCases),
                                            ::testing::Values(0, 1, 2)),
                         [](const ::testing::TestParamInfo<TypeHelpTest::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    kLanguageNames[std::get<1>(info.param)];
                         });

// Each help picture is a strip of square frames that the dialog can play, most of them a step
// on from the one before, with its corner in the dialogs' colour so that it shows no edge.
TEST(TypeHelpPictureTest, EachPictureIsAStripOfMovingFramesOnTheDialogColour) {
    for (const auto& help : kHelpCases) {
        SCOPED_TRACE(help.name);
        const auto strip = static_cast<HBITMAP>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(help.picture), IMAGE_BITMAP,
                         0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(strip, nullptr);
        BITMAP info{};
        ASSERT_NE(::GetObjectW(strip, sizeof(info), &info), 0);
        const int size = info.bmHeight;
        ASSERT_GT(size, 0);
        EXPECT_EQ(info.bmWidth % size, 0);
        const int frames = info.bmWidth / size;

        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, strip);
        EXPECT_EQ(::GetPixel(dc, 0, 0), ui::kSkinBackground);
        const auto differ = [&](int a, int b) {
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    if (::GetPixel(dc, a * size + x, y) != ::GetPixel(dc, b * size + x, y)) {
                        return true;
                    }
                }
            }
            return false;
        };
        int steps = 0;
        for (int frame = 1; frame < frames; ++frame) {
            steps += differ(frame - 1, frame) ? 1 : 0;
        }
        EXPECT_GT(steps * 2, frames) << steps << " of " << frames << " frames move";
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        ::DeleteObject(strip);
    }
}

}  // namespace
}  // namespace arkivo::test
