// A stand-in for a program that the Windows program starts: it leaves "<its own name>.ran"
// beside itself, holding its own full path in UTF-8, and ends. The mark is written under
// another name first, so that whoever waits for it never reads half of it.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t buffer[32768] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, 32768);
    if (length == 0 || length == 32768) {
        return 1;
    }
    const std::filesystem::path self(std::wstring(buffer, length));
    const std::filesystem::path mark = self.wstring() + L".ran";
    const std::filesystem::path partial = self.wstring() + L".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        const auto text = self.u8string();
        out.write(reinterpret_cast<const char*>(text.data()),
                  static_cast<std::streamsize>(text.size()));
        if (!out) {
            return 1;
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, mark, error);
    return error ? 1 : 0;
}
