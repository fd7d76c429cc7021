#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <cstdio>
#include <optional>

// The picture tools' two options: --font FILE (our Tengwar font, registered
// for the run) and --out FOLDER. Gives the folder, or nothing when the font
// cannot be loaded.
inline std::optional<QDir> pictureOutput(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.addOption(
        {QStringLiteral("font"), QStringLiteral("The Tengwar font file."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder for the pictures."),
                      QStringLiteral("FOLDER"), QStringLiteral(".")});
    parser.process(app);
    if (parser.isSet(QStringLiteral("font")) &&
        QFontDatabase::addApplicationFont(parser.value(QStringLiteral("font"))) < 0) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(parser.value(QStringLiteral("font"))));
        return std::nullopt;
    }
    return QDir(parser.value(QStringLiteral("out")));
}
