#pragma once
// "UP.ini" beside the program: what the sign-in form remembers. Five lines joined by CR LF
// (account, staff number, password, remember-account tick, remember-password tick), GBK,
// no line end after the last, written atomically.
#include <QString>

namespace shell {

struct SignInMemory {
    QString account;
    QString staff;
    QString password;
    bool rememberAccount = false;
    bool rememberPassword = false;
};

QString UpIniPath(const QString& programFolder);
// A missing or short file gives empty texts and no ticks; only a line that is exactly
// "1" sets a tick.
SignInMemory ReadSignInMemory(const QString& path);
bool WriteSignInMemory(const QString& path, const SignInMemory& memory);

} // namespace shell
