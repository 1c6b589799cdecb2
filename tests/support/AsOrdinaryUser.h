#pragma once

// Runs a piece of a test as an ordinary user would meet the file system: root writes every file
// and folder whatever their permissions, so under root the piece runs in a child process that
// has become the user nobody. Under any other user it runs in a child as that user.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <string>

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ordinaryuser {

inline constexpr uid_t kNobody = 65534;

// The user files are given to so that the ordinary user owns them (root only).
inline bool GiveToOrdinaryUser(const QString &path)
{
    if (::getuid() != 0)
        return true;
    return ::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0;
}

// body returns what went wrong, empty when everything held; the result is body's, or why the
// child could not run it.
inline std::string RunAsOrdinaryUser(const std::function<std::string()> &body)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child < 0)
        return "no child process";
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string result;
        if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            result = "the child could not become the user nobody";
        else
            result = body();
        if (result.empty())
            result = "ok";
        (void)!::write(pipeEnds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, std::size_t(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        return "the child ended abnormally: " + out;
    return out == "ok" ? std::string() : out;
}

} // namespace ordinaryuser
