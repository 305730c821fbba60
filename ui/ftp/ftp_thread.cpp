#include "ui/ftp/ftp_thread.h"

#include "common/text.h"
#include "engine/remote_folders.h"
#include "platform/error_text.h"
#include "settings/lang_ini.h"
#include "settings/user_message.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {

FtpThread::FtpThread(CLangIni& language, std::u16string& location, FtpCredentials& credentials,
                     const FtpConnectionMaker& makeConnection)
    : CDialog(IDD_FTP),
      language_(language),
      location_(location),
      credentials_(credentials),
      worker_(makeConnection ? makeConnection() : platform::NewFtpConnection(),
              [this](bool busy) { ShowBusy(busy); }),
      tree_(worker_, [this](std::error_code error) { ShowFailure(error); }) {
    auto& m = map();
    m.OnCommand(IDC_FTP_CONNECT, [this] { Connect(); });
    m.OnCommand(IDOK, [this] { OnOk(); });
    m.OnCommand(IDC_FTP_PASSIVE, [this] { TogglePassive(); });
    m.OnNotify(IDC_FTP_FOLDERS, TVN_ITEMEXPANDINGW, [this](NMHDR& header) -> MessageResult {
        return tree_.OnItemExpanding(reinterpret_cast<NMTREEVIEWW&>(header));
    });
    m.OnNotify(IDC_FTP_FOLDERS, TVN_ITEMEXPANDEDW, [this](NMHDR& header) -> MessageResult {
        tree_.OnItemExpanded(reinterpret_cast<NMTREEVIEWW&>(header));
        return 0;
    });
}

void FtpThread::OnInitDialog() {
    SetItemText(hwnd(), IDC_FTP_SERVER, location_);
    SetItemText(hwnd(), IDC_FTP_USER, credentials_.user);
    SetItemText(hwnd(), IDC_FTP_PASSWORD, credentials_.password);
    SetItemText(hwnd(), IDC_FTP_PORT, ToDecimalUnsigned(credentials_.port));
    ::CheckDlgButton(hwnd(), IDC_FTP_PASSIVE,
                     credentials_.passive != 0 ? BST_CHECKED : BST_UNCHECKED);
    tree_.Attach(Item(IDC_FTP_FOLDERS));
    SetTexts();
}

void FtpThread::OnDestroy() {
    worker_.Abandon();
    connected_ = false;
}

void FtpThread::SetTexts() {
    SetItemText(hwnd(), IDOK, language_, text::OptionOk);
    SetItemText(hwnd(), IDCANCEL, language_, text::OptionCancel);
}

void FtpThread::Connect() {
    if (connected_ || worker_.IsBusy()) {
        return;
    }
    const auto port = engine::ParsePort(ItemText(hwnd(), IDC_FTP_PORT));
    if (!port) {
        ShowMessage(hwnd(), language_, UserMessage::Text(text::FtpBadPort));
        return;
    }
    host_ = engine::ParseTypedServer(ItemText(hwnd(), IDC_FTP_SERVER)).host;
    location_ = host_;
    credentials_.user = ItemText(hwnd(), IDC_FTP_USER);
    credentials_.password = ItemText(hwnd(), IDC_FTP_PASSWORD);
    credentials_.port = *port;

    platform::FtpEndpoint endpoint;
    endpoint.host = host_;
    endpoint.port = *port;
    endpoint.user = credentials_.user;
    endpoint.password = credentials_.password;
    endpoint.passive = credentials_.passive != 0;
    worker_.Run([this, endpoint](platform::FtpConnection& connection) -> CFtpWorker::Then {
        const auto error = connection.Connect(endpoint);
        return [this, error] { OnConnected(error); };
    });
}

void FtpThread::OnConnected(std::error_code error) {
    if (error) {
        ShowFailure(error);
        return;
    }
    connected_ = true;
    tree_.ShowServerFolders([this](std::error_code listed) {
        if (listed) {
            // A server that shows no folders is no place to choose one from.
            worker_.connection().Close();
            connected_ = false;
            ShowFailure(listed);
        }
    });
}

void FtpThread::OnOk() {
    if (worker_.IsBusy()) {
        return;
    }
    if (!connected_) {
        Connect();
        return;
    }
    const auto port = engine::ParsePort(ItemText(hwnd(), IDC_FTP_PORT));
    if (!port) {
        ShowMessage(hwnd(), language_, UserMessage::Text(text::FtpBadPort));
        return;
    }
    const HTREEITEM chosen = TreeView_GetSelection(tree_.hwnd());
    location_ = engine::LocationText(host_, tree_.GetItemPath(chosen));
    credentials_.port = *port;
    credentials_.passive = ::IsDlgButtonChecked(hwnd(), IDC_FTP_PASSIVE) == BST_CHECKED ? 1 : 0;
    EndDialog(IDOK);
}

void FtpThread::TogglePassive() {
    credentials_.passive = ::IsDlgButtonChecked(hwnd(), IDC_FTP_PASSIVE) == BST_CHECKED ? 1 : 0;
}

void FtpThread::ShowBusy(bool busy) {
    if (hwnd() == nullptr) {
        return;
    }
    ::EnableWindow(Item(IDC_FTP_CONNECT), !busy);
    ::EnableWindow(Item(IDOK), !busy);
}

void FtpThread::ShowFailure(std::error_code error) {
    if (!worker_.connection().IsConnected()) {
        connected_ = false;
    }
    ShowMessage(hwnd(), language_,
                UserMessage::TextWith(text::FtpFailConnect, u"\n" + platform::ErrorText(error)));
}

}  // namespace arkivo::ui
