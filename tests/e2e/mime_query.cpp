// Prints, for each file named, the MIME type Qt's database gives it (the shared MIME info found
// through XDG_DATA_DIRS, as a desktop would use it) by its name alone, by its contents alone,
// and whether the type by both is a kind of text/plain: "NAME_TYPE CONTENT_TYPE text|not-text".
#include <QMimeDatabase>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    const QMimeDatabase db;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const QMimeType byName = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        const QMimeType byContent = db.mimeTypeForFile(path, QMimeDatabase::MatchContent);
        const QMimeType byBoth = db.mimeTypeForFile(path);
        std::printf("%s %s %s\n", qPrintable(byName.name()), qPrintable(byContent.name()),
                    byBoth.inherits(QStringLiteral("text/plain")) ? "text" : "not-text");
    }
    return 0;
}
