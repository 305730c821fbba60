#include "platform/registry.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace arkivo::platform {
namespace {

class Key {
  public:
    Key(std::u16string_view path, REGSAM access) {
        const std::wstring name = win32::Wide(path);
        opened_ =
            ::RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              access, nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }
    ~Key() {
        if (opened_) {
            ::RegCloseKey(key_);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool opened() const { return opened_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
    bool opened_ = false;
};

}  // namespace

RegistryResult WriteUserString(std::u16string_view keyPath, std::u16string_view name,
                               std::u16string_view value) {
    Key key(keyPath, KEY_WRITE);
    if (!key.opened()) {
        return RegistryResult::CannotOpenKey;
    }
    const std::wstring valueName = win32::Wide(name);
    const std::wstring data = win32::Wide(value);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    const auto status = ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(data.c_str()), bytes);
    return status == ERROR_SUCCESS ? RegistryResult::Ok : RegistryResult::CannotWriteValue;
}

RegistryResult DeleteUserValue(std::u16string_view keyPath, std::u16string_view name) {
    Key key(keyPath, KEY_ALL_ACCESS);
    if (!key.opened()) {
        return RegistryResult::CannotOpenKey;
    }
    const std::wstring valueName = win32::Wide(name);
    const auto status = ::RegDeleteValueW(key.get(), valueName.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND
               ? RegistryResult::Ok
               : RegistryResult::CannotDeleteValue;
}

std::optional<std::u16string> ReadUserString(std::u16string_view keyPath,
                                             std::u16string_view name) {
    const std::wstring path = win32::Wide(keyPath);
    const std::wstring valueName = win32::Wide(name);
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                       nullptr, &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring data(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                       data.data(), &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(::wcsnlen(data.c_str(), data.size()));
    return win32::Utf16(data);
}

}  // namespace arkivo::platform
