// Claims a program folder as a starting program would, says whether it got it, and holds it a
// moment so that a rival started at the same time meets the claim.
// Usage: lockprobe <folder> <hold ms>
#include "shell/singleinstance.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const bool got = SingleInstance::acquire(QString::fromLocal8Bit(argv[1]));
    std::printf("%s\n", got ? "acquired" : "refused");
    std::fflush(stdout);
    QThread::msleep(std::atoi(argv[2]));
    SingleInstance::releaseAll();
    return 0;
}
