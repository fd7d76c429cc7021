// Renders the Tengwar Quenya font to two PNG sheets: a chart of all 95 codes
// (marks shown on a grey letter of the kind that bears them) and a sheet of
// transcriptions made by LatinToTengwar at several sizes.
//
//   glyphchart [--font FILE] [--chart FILE] [--samples FILE]
//
// Run it with QT_QPA_PLATFORM=offscreen where there is no display.

#include <QCommandLineParser>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "transcription/convertdata.h"
#include "transcription/cp1250.h"
#include "transcription/engine.h"
#include "transcription/flagset.h"

namespace {

struct Overlay {
    char code;
    char bearer;  // a letter of the class the mark belongs to
    const char* what;
};

// Every zero-width code with a letter that bears it in the chart.
const Overlay kOverlays[] = {
    {'%', '1', "a/A"},  {'T', 'e', "a/B"}, {'G', '2', "a/C"}, {'B', '`', "a/O"}, {'^', '1', "e/A"},
    {'Y', 'e', "e/B"},  {'H', '2', "e/C"}, {'N', '`', "e/O"}, {'&', '1', "i/A"}, {'U', 'e', "i/B"},
    {'J', '2', "i/C"},  {'M', '`', "i/O"}, {'(', '1', "o/A"}, {'O', 'e', "o/B"}, {'L', '2', "o/C"},
    {'>', '`', "o/O"},  {')', '1', "u/A"}, {'P', 'e', "u/B"}, {':', '2', "u/C"}, {'?', '`', "u/O"},
    {'A', '5', "~/A"},  {'S', '1', "~/B"}, {'Z', '2', "~/C"}, {'X', 'a', "~/O"}, {'0', 'j', "e./1"},
    {'p', '2', "e./2"},
};

const Overlay* overlayFor(char code) {
    for (const auto& o : kOverlays) {
        if (o.code == code) {
            return &o;
        }
    }
    return nullptr;
}

QFont tengwarFont(const QString& family, int pixels) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferAntialias));
    return f;
}

QFont labelFont(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Draws a code string and returns the pen position after it.
qreal drawCodes(QPainter& p, const QFont& font, qreal x, qreal y, const QString& codes,
                const QColor& color = Qt::black) {
    p.setFont(font);
    p.setPen(color);
    p.drawText(QPointF(x, y), codes);
    return x + QFontMetricsF(font).horizontalAdvance(codes);
}

bool renderChart(const QString& family, const QString& out) {
    const int cols = 8;
    const int rows = 12;  // 95 codes in 12 rows of 8
    const int cellW = 210;
    const int cellH = 240;
    const int top = 60;
    QImage img(cols * cellW + 20, top + rows * cellH + 20, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(labelFont(22, true));
    p.setPen(Qt::black);
    p.drawText(QPointF(10, 36),
               QStringLiteral("%1: codes 20-7E (marks in black over a grey bearer)").arg(family));
    const QFont glyphFont = tengwarFont(family, 130);
    for (int code = 0x20; code <= 0x7E; ++code) {
        const int i = code - 0x20;
        const int cx = 10 + (i % cols) * cellW;
        const int cy = top + (i / cols) * cellH;
        p.setPen(QColor(200, 200, 200));
        p.drawRect(cx, cy, cellW, cellH);
        p.setPen(QColor(230, 230, 240));
        const qreal baseline = cy + 150;
        p.drawLine(QPointF(cx + 4, baseline), QPointF(cx + cellW - 4, baseline));
        p.setFont(labelFont(15));
        p.setPen(Qt::darkBlue);
        const Overlay* o = overlayFor(static_cast<char>(code));
        QString label = QStringLiteral("%1 %2").arg(code, 2, 16).arg(QChar(code)).toUpper();
        if (o != nullptr) {
            label += QStringLiteral("  ") + QString::fromLatin1(o->what);
        }
        p.drawText(QPointF(cx + 6, cy + 20), label);
        const QString glyph(QChar(static_cast<char16_t>(code)));
        if (o != nullptr) {
            const QString bearer(QChar(static_cast<char16_t>(o->bearer)));
            const qreal w = QFontMetricsF(glyphFont).horizontalAdvance(bearer);
            const qreal x = cx + (cellW - w) / 2;
            const qreal end = drawCodes(p, glyphFont, x, baseline, bearer, QColor(170, 170, 170));
            drawCodes(p, glyphFont, end, baseline, glyph);
        } else {
            const qreal w = QFontMetricsF(glyphFont).horizontalAdvance(glyph);
            drawCodes(p, glyphFont, cx + (cellW - w) / 2, baseline, glyph);
        }
    }
    p.end();
    return img.save(out);
}

struct Sample {
    const char* latin;                                    // UTF-8
    std::initializer_list<std::pair<int, bool>> changes;  // switches changed from the defaults
};

TConvertData defaultSwitches() {
    TConvertData settings;
    const FlagBytes bytes = flagset::withDefaultSwitches(flagset::kDefaultBytes);
    for (int i = 0; i < TConvertData::kFlagCount; ++i) {
        settings.Flags[static_cast<std::size_t>(i)] = flagset::get(bytes, i);
    }
    return settings;
}

// Marks on every kind of bearer, the two-glyph letters with a mark between
// their parts, tildes, silent e, and some text.
const Sample kSamples[] = {
    {"ta te ti to tu  pa pe pi po pu  ča ke li ro wu", {}},
    {"tha the thi fo fu  ha he hi yo yu", {}},
    {"da de di do du  ba be mi no gu  ša še ngo ža", {}},
    {"a e i o u  á é í ó ú  ü", {}},
    {"ca ce ci co cu  xa xe  psa pse  dza dzo", {{flag::Ps, true}, {flag::Ts, true}}},
    {"anna atta adda akka amma assa alla arra", {}},
    {"attá essé ommo", {}},
    {"time fine late same", {{flag::FinalSilentE, true}}},
    {"sasa sesi zaza  kasa kaza", {}},
    {"kasa kaza", {{flag::SBeforeVowel, true}}},
    {"Ai! laurië lantar lassi súrinen.", {}},
    {"Elen síla lúmenn omentielvo", {}},
    {"Elen síla lúmenn omentielvo", {{flag::VowelsQuenya, false}}},
    {"Dober dan: kako si? Čaša, žaba, šola.", {}},
};

std::string transcribe(const Sample& sample) {
    TConvertData settings = defaultSwitches();
    for (const auto& [index, value] : sample.changes) {
        settings.Flags[static_cast<std::size_t>(index)] = value;
    }
    return LatinToTengwar(cp1250::fromUtf8(sample.latin), false, settings, true);
}

QString captionOf(const Sample& sample, const std::string& codes) {
    QString caption = QString::fromUtf8(sample.latin);
    for (const auto& [index, value] : sample.changes) {
        caption += QStringLiteral("  [switch %1 %2]").arg(index).arg(value ? "on" : "off");
    }
    caption +=
        QStringLiteral("   = ") + QString::fromLatin1(codes.data(), static_cast<qsizetype>(codes.size()));
    return caption;
}

bool renderSamples(const QString& family, const QString& out) {
    const int width = 1800;
    const int sizes[] = {20, 32, 56};
    std::vector<std::string> codes;
    for (const auto& sample : kSamples) {
        codes.push_back(transcribe(sample));
    }
    int height = 80;
    for (int s : sizes) {
        height += static_cast<int>(std::size(kSamples)) * (s * 2 + 26) + 40;
    }
    const char* bigLines[] = {"ta nno psa", "fé tyu ha", "sí dë ami"};
    height += static_cast<int>(std::size(bigLines)) * 300 + 40;
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    qreal y = 40;
    p.setFont(labelFont(22, true));
    p.setPen(Qt::black);
    p.drawText(QPointF(10, y), QStringLiteral("%1: transcriptions at 20, 32, 56 and 200 px").arg(family));
    y += 30;
    for (int s : sizes) {
        const QFont f = tengwarFont(family, s);
        for (std::size_t i = 0; i < std::size(kSamples); ++i) {
            p.setFont(labelFont(13));
            p.setPen(Qt::darkBlue);
            p.drawText(QPointF(10, y + 14),
                       captionOf(kSamples[i], codes[i]) + QStringLiteral("   [%1 px]").arg(s));
            y += 18 + s * 1.2;
            drawCodes(p, f, 20, y,
                      QString::fromLatin1(codes[i].data(), static_cast<qsizetype>(codes[i].size())));
            y += s * 0.8 + 8;
        }
        y += 40;
    }
    const QFont big = tengwarFont(family, 200);
    for (const char* line : bigLines) {
        const std::string c = transcribe(Sample{line, {{flag::Ps, true}}});
        y += 220;
        drawCodes(p, big, 20, y, QString::fromLatin1(c.data(), static_cast<qsizetype>(c.size())));
        p.setFont(labelFont(16));
        p.setPen(Qt::darkBlue);
        p.drawText(QPointF(1400, y), QString::fromUtf8(line));
        y += 80;
    }
    p.end();
    return img.save(out);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders the Tengwar font to PNG sheets."));
    parser.addHelpOption();
    QCommandLineOption fontOpt(QStringLiteral("font"), QStringLiteral("Font file."), QStringLiteral("file"),
                               QStringLiteral("resources/font/quenya.ttf"));
    QCommandLineOption chartOpt(QStringLiteral("chart"), QStringLiteral("Chart PNG to write."),
                                QStringLiteral("file"), QStringLiteral("docs/font-chart.png"));
    QCommandLineOption samplesOpt(QStringLiteral("samples"), QStringLiteral("Samples PNG to write."),
                                  QStringLiteral("file"), QStringLiteral("docs/font-samples.png"));
    parser.addOption(fontOpt);
    parser.addOption(chartOpt);
    parser.addOption(samplesOpt);
    parser.process(app);

    const int id = QFontDatabase::addApplicationFont(parser.value(fontOpt));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (id < 0 || families.isEmpty()) {
        std::fprintf(stderr, "cannot load font %s\n", qPrintable(parser.value(fontOpt)));
        return 1;
    }
    const QString family = families.first();
    if (!renderChart(family, parser.value(chartOpt))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value(chartOpt)));
        return 1;
    }
    if (!renderSamples(family, parser.value(samplesOpt))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value(samplesOpt)));
        return 1;
    }
    return 0;
}
