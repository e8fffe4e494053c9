#include "shell/up_ini.h"

#include "common/fso.h"

#include <QDir>

namespace shell {

QString UpIniPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("UP.ini"));
}

SignInMemory ReadSignInMemory(const QString& path) {
    SignInMemory m;
    common::RemoveStaleCopies(path); // an interrupted save's copy holds the password too
    if (!common::FileExists(path)) return m;
    const QStringList lines = common::ReadTextFile(path).split(QStringLiteral("\r\n"));
    m.account = lines.value(0);
    m.staff = lines.value(1);
    m.password = lines.value(2);
    m.rememberAccount = lines.value(3) == QLatin1String("1");
    m.rememberPassword = lines.value(4) == QLatin1String("1");
    return m;
}

bool WriteSignInMemory(const QString& path, const SignInMemory& m) {
    const QStringList lines = {m.account, m.staff, m.password,
                               m.rememberAccount ? QStringLiteral("1") : QStringLiteral("0"),
                               m.rememberPassword ? QStringLiteral("1") : QStringLiteral("0")};
    return common::WriteTextFile(path, lines.join(QStringLiteral("\r\n")),
                                 common::Access::OwnerOnly);
}

} // namespace shell
