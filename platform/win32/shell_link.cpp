#include "platform/shell_link.h"

#include <windows.h>
// The COM and shell headers build on the declarations above.
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cwctype>

namespace arkivo::platform {
namespace {

template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* operator->() const { return p_; }
    Interface** out() { return &p_; }
    void** out_void() { return reinterpret_cast<void**>(&p_); }

  private:
    Interface* p_ = nullptr;
};

}  // namespace

bool IsShellLink(const std::filesystem::path& path) {
    std::wstring extension = path.extension().wstring();
    for (auto& c : extension) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return extension == L".lnk";
}

std::optional<std::filesystem::path> ResolveShellLink(const std::filesystem::path& link) {
    if (!IsShellLink(link)) {
        return std::nullopt;
    }
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  shellLink.out_void()))) {
        return std::nullopt;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.out_void())) ||
        FAILED(file->Load(link.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    wchar_t target[MAX_PATH] = {};
    if (shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY) != S_OK ||
        target[0] == L'\0') {
        return std::nullopt;
    }
    return std::filesystem::path(target);
}

}  // namespace arkivo::platform
