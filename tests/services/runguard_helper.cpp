// A child process for tst_runguard: holds one QRunGuard for the key in argv[1] (hex-encoded
// UTF-8, so non-ASCII keys survive any locale), says "ready", then answers each line on stdin
// with the result of tryToRun(). It ends, destroying the guard, when stdin closes.
#include "QRunGuard.h"

#include <iostream>
#include <string>

int main(int, char** argv)
{
    QRunGuard guard(QString::fromUtf8(QByteArray::fromHex(argv[1])));
    std::cout << "ready" << std::endl;
    for (std::string line; std::getline(std::cin, line);)
        std::cout << (guard.tryToRun() ? "won" : "lost") << std::endl;
}
