// The FTP location dialog: the server, user, password, port and transfer mode of one FTP side,
// and the server's folders to choose the location from. It works on the caller's storage: the
// location ("host/folder", without "ftp://") and the side's credentials.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "jobs/job_commands.h"
#include "platform/ftp_client.h"
#include "ui/framework/dialog.h"
#include "ui/ftp/ftp_tree.h"
#include "ui/ftp/ftp_worker.h"

namespace arkivo {
class CLangIni;
}

namespace arkivo::ui {

// Makes the connection the dialog talks to the server through.
using FtpConnectionMaker = std::function<std::unique_ptr<platform::FtpConnection>()>;

class FtpThread : public CDialog {
  public:
    // An empty maker takes the platform's FTP client.
    FtpThread(CLangIni& language, std::u16string& location, FtpCredentials& credentials,
              const FtpConnectionMaker& makeConnection = {});

    bool IsConnected() const { return connected_; }
    bool IsListing() const { return worker_.IsBusy(); }
    CFtpTree& tree() { return tree_; }

  private:
    void OnInitDialog() override;
    void OnDestroy() override;
    void SetTexts();
    // Connects with what the fields hold, unless connected or a listing runs.
    void Connect();
    void OnConnected(std::error_code error);
    void OnOk();
    void TogglePassive();
    void ShowBusy(bool busy);
    void ShowFailure(std::error_code error);

    CLangIni& language_;
    std::u16string& location_;
    FtpCredentials& credentials_;
    std::u16string host_;
    bool connected_ = false;
    CFtpWorker worker_;
    CFtpTree tree_;
};

}  // namespace arkivo::ui
