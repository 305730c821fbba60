// The FTP button beside a path field: it opens the FTP location dialog on the field's location
// and the side's FTP settings, and after OK the field shows the chosen "ftp://" location.
#pragma once

#include <windows.h>

#include "jobs/job_commands.h"
#include "ui/ftp/ftp_thread.h"

namespace arkivo::ui {

// True when the user chose a location with OK; credentials then hold the side's settings.
bool ChooseFtpLocation(HWND owner, int pathField, CLangIni& language, FtpCredentials& credentials,
                       const FtpConnectionMaker& makeConnection);

}  // namespace arkivo::ui
