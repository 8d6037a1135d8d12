// A child process for tst_runguard: holds one QRunGuard and answers commands on stdin, one per
// line ("try", "another", "release", "quit"). The key arrives hex-encoded UTF-8 so that
// non-ASCII keys survive whatever locale the process runs under.
#include "QRunGuard.h"

#include <QByteArray>
#include <QString>

#include <iostream>
#include <string>

namespace {

void say(const char* word)
{
    std::cout << word << std::endl;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const QString key = QString::fromUtf8(QByteArray::fromHex(QByteArray(argv[1])));

    QRunGuard guard(key);
    say("ready");

    std::string command;
    while (std::getline(std::cin, command)) {
        if (command == "try")
            say(guard.tryToRun() ? "won" : "lost");
        else if (command == "another")
            say(guard.isAnotherRunning() ? "running" : "free");
        else if (command == "release") {
            guard.release();
            say("released");
        } else if (command == "quit")
            break;
        else
            say("unknown");
    }
    return 0;
}
