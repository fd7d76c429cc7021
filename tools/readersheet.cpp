// Draws the reader's sheet of the Tengwar font: the clusters a learner meets
// first (the commonest of the collected clusters, and words that hold the
// marks readers confuse), at 20 and 27 px as the program draws them, in the
// font before a change and after it, side by side and magnified without
// smoothing.
//
//   readersheet --before OLD.ttf --after NEW.ttf --clusters tests/resources/fontclusters.txt
//               --out docs/font-reader.png
//
// Run it with QT_QPA_PLATFORM=offscreen where there is no display.

#include <QCommandLineParser>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/transcription/convertdata.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/flagset.h"
#include "tools/fontclusters.h"
#include "ui/widgets/tengwarfont.h"

namespace {

constexpr int kSizes[] = {20, 27};
constexpr int kMagnified = 3;
constexpr int kCommonest = 40;
constexpr int kPerRow = 10;

struct Row {
    QString caption;
    QString codes;
};

TConvertData defaultSwitches() {
    TConvertData settings;
    const FlagBytes bytes = flagset::withDefaultSwitches(flagset::kDefaultBytes);
    for (int i = 0; i < TConvertData::kFlagCount; ++i) {
        settings.Flags[static_cast<std::size_t>(i)] = flagset::get(bytes, i);
    }
    return settings;
}

QString transcribed(const char* latinUtf8, bool finalSilentE = false) {
    TConvertData settings = defaultSwitches();
    settings.Flags[flag::FinalSilentE] = finalSilentE;
    const std::string codes = LatinToTengwar(cp1250::fromUtf8(latinUtf8), false, settings, true);
    return QString::fromLatin1(codes.data(), static_cast<qsizetype>(codes.size()));
}

std::vector<Row> rowsOf(const std::vector<std::string>& clusters) {
    std::vector<Row> rows;
    const int count = std::min<int>(kCommonest, static_cast<int>(clusters.size()));
    for (int first = 0; first < count; first += kPerRow) {
        QString codes;
        for (int i = first; i < std::min(count, first + kPerRow); ++i) {
            codes += QString::fromLatin1(clusters[static_cast<std::size_t>(i)].c_str()) + QStringLiteral("  ");
        }
        rows.push_back({QStringLiteral("the commonest clusters, %1 to %2").arg(first + 1).arg(std::min(count, first + kPerRow)),
                        codes.trimmed()});
    }
    // the marks and letters that readers confuse
    rows.push_back({QStringLiteral("silent e: time, lepe, sane, date, mize"), transcribed("time lepe sane date mize", true)});
    rows.push_back({QStringLiteral("o / u: to tu, no nu, po pu, ko ku, do du"), transcribed("to tu no nu po pu ko ku do du")});
    rows.push_back({QStringLiteral("a / i: ta ti, na ni, da di, ma mi, ša ši"), transcribed("ta ti na ni da di ma mi ša ši")});
    rows.push_back({QStringLiteral("tilde and s-hook: lecce, racca, maxxa, tt, nn"), transcribed("lecce racca maxxa tt nn")});
    rows.push_back({QStringLiteral("thule / formen, harma / hwesta, lambe / alda: tha fa, ša qa, la lja"),
                    transcribed("tha fa ša qa la lja")});
    rows.push_back({QStringLiteral("two dots and i: üi, müi, süit"), transcribed("üi müi süit")});
    return rows;
}

// One line of codes as the program draws it, magnified without smoothing.
QImage drawn(const QString& codes, int pixels) {
    const QFont font = tengwarFont(pixels);
    const int width = static_cast<int>(QFontMetricsF(font).horizontalAdvance(codes)) + pixels;
    QImage image(width, pixels * 2, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(pixels / 2, pixels * 1.25), codes);
    painter.end();
    return image.scaled(image.width() * kMagnified, image.height() * kMagnified, Qt::IgnoreAspectRatio,
                        Qt::FastTransformation);
}

// Every row at every size in one font, which is installed only while it draws.
bool drawAll(const QString& fontFile, const std::vector<Row>& rows, std::vector<QImage>& images) {
    const int id = QFontDatabase::addApplicationFont(fontFile);
    if (id < 0 || !QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("Tengwar Quenya"))) {
        return false;
    }
    for (const Row& row : rows) {
        for (const int pixels : kSizes) {
            images.push_back(drawn(row.codes, pixels));
        }
    }
    QFontDatabase::removeApplicationFont(id);
    return true;
}

QFont labelFont(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

bool render(const std::vector<Row>& rows, const std::vector<QImage>& before, const std::vector<QImage>& after,
            const QString& out) {
    int column = 0;
    int height = 90;
    for (std::size_t i = 0; i < before.size(); ++i) {
        column = std::max({column, before[i].width(), after[i].width()});
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        height += 40;
        for (std::size_t s = 0; s < std::size(kSizes); ++s) {
            height += before[r * std::size(kSizes) + s].height();
        }
    }
    const int left = 110;
    QImage sheet(left + 2 * column + 20, height, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setPen(Qt::black);
    p.setFont(labelFont(22, true));
    p.drawText(QPointF(10, 34), QStringLiteral("Tengwar Quenya: what a reader meets first, at 20 and 27 px as the "
                                               "program draws it, magnified %1 times")
                                    .arg(kMagnified));
    p.setFont(labelFont(20, true));
    p.drawText(QPointF(left, 74), QStringLiteral("before"));
    p.drawText(QPointF(left + column + 10, 74), QStringLiteral("after"));
    int y = 90;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        p.setPen(QColor(180, 180, 200));
        p.drawLine(10, y + 4, sheet.width() - 10, y + 4);
        p.setPen(Qt::darkBlue);
        p.setFont(labelFont(18));
        p.drawText(QPointF(10, y + 28), rows[r].caption);
        y += 40;
        for (std::size_t s = 0; s < std::size(kSizes); ++s) {
            const std::size_t i = r * std::size(kSizes) + s;
            p.setPen(Qt::darkGray);
            p.drawText(QPointF(10, y + before[i].height() / 2), QStringLiteral("%1 px").arg(kSizes[s]));
            p.drawImage(left, y, before[i]);
            p.drawImage(left + column + 10, y, after[i]);
            y += before[i].height();
        }
    }
    p.end();
    return sheet.save(out);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the reader's sheet of the Tengwar font, before and after."));
    parser.addHelpOption();
    const QCommandLineOption beforeOpt(QStringLiteral("before"), QStringLiteral("The font before."), QStringLiteral("file"));
    const QCommandLineOption afterOpt(QStringLiteral("after"), QStringLiteral("The font after."), QStringLiteral("file"));
    const QCommandLineOption clustersOpt(QStringLiteral("clusters"), QStringLiteral("The collected clusters."),
                                         QStringLiteral("file"));
    const QCommandLineOption outOpt(QStringLiteral("out"), QStringLiteral("The PNG to write."), QStringLiteral("file"));
    parser.addOptions({beforeOpt, afterOpt, clustersOpt, outOpt});
    parser.process(app);

    QFile file(parser.value(clustersOpt));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "readersheet: cannot read %s\n", qPrintable(parser.value(clustersOpt)));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    const std::vector<Row> rows =
        rowsOf(fontclusters::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    std::vector<QImage> before;
    std::vector<QImage> after;
    for (const auto& [option, images] : {std::make_pair(&beforeOpt, &before), std::make_pair(&afterOpt, &after)}) {
        if (!drawAll(parser.value(*option), rows, *images)) {
            std::fprintf(stderr, "readersheet: cannot load the font %s\n", qPrintable(parser.value(*option)));
            return 1;
        }
    }
    if (!render(rows, before, after, parser.value(outOpt))) {
        std::fprintf(stderr, "readersheet: cannot write %s\n", qPrintable(parser.value(outOpt)));
        return 1;
    }
    return 0;
}
