// Writes generation after generation of a large library to one file through the library's
// safe write, saying "ready" first and then the number of each generation written, until it is
// killed. Used by the crash test:  library_crash_writer FILE FIRST_GENERATION
#include "library/LibraryFile.h"
#include "support/CrashSupport.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
void say(const std::string &line)
{
    const std::string text = line + "\n";
    (void)!::write(1, text.data(), text.size());
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int first = std::stoi(argv[2]);
    say("ready");
    for (int generation = first;; ++generation) {
        QString error;
        if (!WriteFMs(path, crashtest::generationLibrary(generation), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        say(std::to_string(generation));
    }
}
