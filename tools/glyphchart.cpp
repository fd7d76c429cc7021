// Renders the Tengwar Quenya font to four PNG sheets: a chart of all 95 codes
// (marks shown on a grey letter of the kind that bears them), a sheet of
// transcriptions made by LatinToTengwar at several sizes, the letters in
// their traditional table at 160 px with text at 20 and 27 px, and every mark
// on every letter that bears it at 20 and 27 px, magnified without smoothing.
// Text is drawn with the program's own Tengwar font settings.
//
//   glyphchart [--font FILE] [--chart FILE] [--samples FILE] [--table FILE] [--marks FILE]
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

#include "core/transcription/alphabet.h"
#include "core/transcription/convertdata.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/flagset.h"
#include "core/transcription/lettersets.h"
#include "ui/widgets/tengwarfont.h"

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
    setTengwarDrawing(f);
    f.setPixelSize(pixels);
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

struct Named {
    char code;
    const char* name;
};

// The 24 regular tengwar in the traditional table: four series by six grades.
const Named kRegular[6][4] = {
    {{'1', "tinco"}, {'q', "parma"}, {'a', "calma"}, {'z', "quesse"}},
    {{'2', "ando"}, {'w', "umbar"}, {'s', "anga"}, {'x', "ungwe"}},
    {{'3', "thule"}, {'e', "formen"}, {'d', "harma"}, {'c', "hwesta"}},
    {{'4', "anto"}, {'r', "ampa"}, {'f', "anca"}, {'v', "unque"}},
    {{'5', "numen"}, {'t', "malta"}, {'g', "noldo"}, {'b', "nwalme"}},
    {{'6', "ore"}, {'y', "vala"}, {'h', "anna"}, {'n', "vilya"}},
};

// The additional letters and the forms of s and z that the transcription writes.
const Named kAdditional[] = {
    {'7', "romen"},         {'u', "arda"},         {'j', "lambe"},     {'m', "alda"},
    {'8', "silme"},         {'i', "silme nuq."},   {'k', "are"},       {',', "are nuq."},
    {'*', "s (kot 6)"},     {'I', "S (kot 9)"},    {'K', "z (kot 6)"}, {'<', "Z (kot 9)"},
    {'9', "hyarmen"},       {'o', "hwesta sind."}, {'l', "yanta"},     {'.', "ure"},
    {'`', "short carrier"}, {'~', "long carrier"}, {']', "full stop"}, {'[', "two dots"},
};

void drawNamed(QPainter& p, const QFont& font, const Named& letter, int x, int y, int w, int h,
               qreal baseline) {
    p.setPen(QColor(200, 200, 200));
    p.drawRect(x, y, w, h);
    p.setPen(QColor(225, 225, 240));
    p.drawLine(QPointF(x + 4, y + baseline), QPointF(x + w - 4, y + baseline));
    p.setFont(labelFont(15));
    p.setPen(Qt::darkBlue);
    p.drawText(QPointF(x + 6, y + 20), QStringLiteral("%1 %2  %3")
                                           .arg(static_cast<int>(static_cast<uchar>(letter.code)), 2, 16)
                                           .arg(QChar(letter.code))
                                           .arg(QString::fromLatin1(letter.name))
                                           .toUpper());
    const QString glyph(QChar(static_cast<char16_t>(letter.code)));
    const qreal gw = QFontMetricsF(font).horizontalAdvance(glyph);
    drawCodes(p, font, x + (w - gw) / 2, y + baseline, glyph);
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

// Text for the table page: the letters that readers confuse, side by side.
const Sample kTableText[] = {
    {"Ai! laurië lantar lassi súrinen.", {}},
    {"Elen síla lúmenn omentielvo.", {}},
    {"kasa kaza kassa  ss st zd  sasa zaza", {}},
    {"tha fa ha  the fe he  ra ja ča  ša qa", {}},
    {"tte atta anna amma  time late", {{flag::FinalSilentE, true}}},
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
    const int sizes[] = {20, 27, 40};
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
    p.drawText(QPointF(10, y), QStringLiteral("%1: transcriptions at 20, 27, 40 and 200 px").arg(family));
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

// The regular tengwar in their table and the additional letters at 160 px,
// then text at 20 and 27 px.
bool renderTable(const QString& family, const QString& out) {
    const int cellW = 230;
    const int cellH = 290;
    const qreal baseline = 190;  // ascender 128 px above, descender 53 px below
    const int left = 90;
    const int top = 90;
    const int extraCols = 8;
    const int extraRows = static_cast<int>((std::size(kAdditional) + extraCols - 1) / extraCols);
    const int width = left + extraCols * cellW + 20;
    const int textTop = top + 6 * cellH + 70 + extraRows * cellH + 30;
    const int sizes[] = {20, 27};
    const int textLines = static_cast<int>(std::size(kTableText));
    const int height = textTop + static_cast<int>(std::size(sizes)) * (textLines + 1) * 62 + 40;
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(labelFont(22, true));
    p.setPen(Qt::black);
    p.drawText(QPointF(10, 36), QStringLiteral("%1: the 24 regular tengwar (series I-IV by grades 1-6) and "
                                               "the additional letters at 160 px; text at 20 and 27 px")
                                    .arg(family));
    const QFont big = tengwarFont(family, 160);
    const char* series[] = {"I tinco", "II parma", "III calma", "IV quesse"};
    p.setFont(labelFont(18, true));
    for (int c = 0; c < 4; ++c) {
        p.drawText(QPointF(left + c * cellW + 10, top - 12), QString::fromLatin1(series[c]));
    }
    for (int r = 0; r < 6; ++r) {
        p.setFont(labelFont(18, true));
        p.setPen(Qt::black);
        p.drawText(QPointF(20, top + r * cellH + baseline), QString::number(r + 1));
        for (int c = 0; c < 4; ++c) {
            drawNamed(p, big, kRegular[r][c], left + c * cellW, top + r * cellH, cellW, cellH, baseline);
        }
    }
    const int extraTop = top + 6 * cellH + 50;
    p.setFont(labelFont(18, true));
    p.setPen(Qt::black);
    p.drawText(QPointF(10, extraTop - 8), QStringLiteral("Additional letters"));
    for (std::size_t i = 0; i < std::size(kAdditional); ++i) {
        const int col = static_cast<int>(i) % extraCols;
        const int row = static_cast<int>(i) / extraCols;
        drawNamed(p, big, kAdditional[i], 10 + col * cellW, extraTop + row * cellH, cellW, cellH, baseline);
    }
    qreal y = textTop;
    for (const int size : sizes) {
        const QFont f = tengwarFont(family, size);
        // every letter of the page in its order, without marks
        const QString all = QStringLiteral("1qaz 2wsx 3edc 4rfv 5tgb 6yhn  7u jm 8i k, *I K< 9o l. `~ ][");
        p.setFont(labelFont(13));
        p.setPen(Qt::darkBlue);
        p.drawText(QPointF(10, y + 14),
                   QStringLiteral("the letters above in their order   [%1 px]").arg(size));
        y += 18 + size * 1.2;
        drawCodes(p, f, 20, y, all);
        y += 62 - 18 - size * 1.2;
        for (int i = 0; i < textLines; ++i) {
            const Sample& sample = kTableText[i];
            const std::string codes = transcribe(sample);
            p.setFont(labelFont(13));
            p.setPen(Qt::darkBlue);
            p.drawText(QPointF(10, y + 14),
                       captionOf(sample, codes) + QStringLiteral("   [%1 px]").arg(size));
            y += 18 + size * 1.2;
            drawCodes(p, f, 20, y, QString::fromLatin1(codes.data(), static_cast<qsizetype>(codes.size())));
            y += 62 - 18 - size * 1.2;
        }
    }
    p.end();
    return img.save(out);
}

// The codes a letter's marks take after it: a, e, i, o, u in its column, the
// tilde if it doubles, and the silent e.
QString marksOf(char letter) {
    const auto b = static_cast<unsigned char>(letter);
    std::string vowels = "\xC1\xC9\xCD\xD3\xDA";  // Á É Í Ó Ú: other bearers
    if (letterset::contains(letterset::MarkA, b)) {
        vowels = "aeiou";
    } else if (letterset::contains(letterset::MarkB, b)) {
        vowels = "\xE1\xE9\xED\xF3\xFA";
    } else if (letterset::contains(letterset::MarkC, b)) {
        vowels = "AEIOU";
    }
    std::string marks;
    for (const char v : vowels) {
        marks += alphabet::glyph(v);
    }
    const char* tilde = letterset::contains(letterset::TildeA, b)   ? "\xBB"
                        : letterset::contains(letterset::TildeB, b) ? "\x9B"
                        : letterset::contains(letterset::TildeC, b) ? "\xAB"
                                                                    : "\x8B";
    marks += letterset::contains(letterset::Doublable, b) ? std::string(alphabet::glyph(*tilde)) : std::string(" ");
    marks += alphabet::glyph(letterset::contains(letterset::SilentE, b) ? '\xEC' : '\xCC');
    return QString::fromLatin1(marks.data(), static_cast<qsizetype>(marks.size()));
}

// Every mark on every letter that bears it, at 20 and 27 px as the windows
// draw them, each line magnified three times pixel for pixel.
bool renderMarks(const QString& family, const QString& out) {
    const int magnify = 3;
    const int sizes[] = {20, 27};
    // the alphabet and the two carriers, which are letters of the transcription's own
    const std::string letters = std::string(alphabet::ruleLetters()) + "\xEE\xCE";  // î Î
    std::string bearers;
    for (const char letter : letters) {
        if (letterset::contains(letterset::Bearer, static_cast<unsigned char>(letter))) {
            const char code = alphabet::glyph(letter)[0];
            if (bearers.find(code) == std::string::npos) {
                bearers += code;
            }
        }
    }
    const int perColumn = static_cast<int>((bearers.size() + 1) / 2);
    const int lineWidth = 27 * 8;  // the widest line: seven marked letters at 27 px
    const int rowHeight = 27 * 2 * magnify;
    const int blockWidth = 150 + (20 * 8 + lineWidth) * magnify + 40;
    const int top = 70;
    QImage img(2 * blockWidth + 20, top + perColumn * rowHeight + 20, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(labelFont(22, true));
    p.setPen(Qt::black);
    p.drawText(QPointF(10, 36), QStringLiteral("%1: a e i o u, the tilde and the silent e on every bearer, at 20 and "
                                               "27 px, magnified %2 times")
                                    .arg(family)
                                    .arg(magnify));
    for (std::size_t i = 0; i < bearers.size(); ++i) {
        const int x = 10 + static_cast<int>(i) / perColumn * blockWidth;
        const int y = top + static_cast<int>(i) % perColumn * rowHeight;
        // the first letter of the alphabet that writes this code
        char first = 0;
        for (const char l : letters) {
            if (letterset::contains(letterset::Bearer, static_cast<unsigned char>(l)) &&
                alphabet::glyph(l)[0] == bearers[i]) {
                first = l;
                break;
            }
        }
        p.setPen(QColor(225, 225, 240));
        p.drawLine(x, y + rowHeight - 1, x + blockWidth - 20, y + rowHeight - 1);
        p.setFont(labelFont(16));
        p.setPen(Qt::darkBlue);
        p.drawText(QPointF(x, y + rowHeight / 2 + 6),
                   QStringLiteral("%1  (%2)").arg(QChar(bearers[i])).arg(QChar(cp1250::toUnicode(static_cast<unsigned char>(first)))));
        QString line;
        const QString marks = marksOf(first);
        for (const QChar mark : marks) {
            line += QChar(bearers[i]);
            if (mark != QLatin1Char(' ')) {
                line += mark;
            }
            line += QLatin1Char(' ');
        }
        int left = x + 150;
        for (const int size : sizes) {
            const int width = size * 8;
            QImage text(width, size * 2, QImage::Format_ARGB32);
            text.fill(Qt::white);
            QPainter tp(&text);
            tp.setFont(tengwarFont(family, size));
            tp.setPen(Qt::black);
            tp.drawText(QPointF(size * 0.3, size * 1.25), line);
            tp.end();
            p.drawImage(QPoint(left, y + (rowHeight - size * 2 * magnify) / 2),
                        text.scaled(width * magnify, size * 2 * magnify, Qt::IgnoreAspectRatio, Qt::FastTransformation));
            left += width * magnify + 20;
        }
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
    QCommandLineOption tableOpt(QStringLiteral("table"), QStringLiteral("Letter table PNG to write."),
                                QStringLiteral("file"), QStringLiteral("docs/font-letters.png"));
    parser.addOption(tableOpt);
    QCommandLineOption marksOpt(QStringLiteral("marks"), QStringLiteral("Marks PNG to write."),
                                QStringLiteral("file"), QStringLiteral("docs/font-marks.png"));
    parser.addOption(marksOpt);
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
    if (!renderTable(family, parser.value(tableOpt))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value(tableOpt)));
        return 1;
    }
    if (!renderMarks(family, parser.value(marksOpt))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value(marksOpt)));
        return 1;
    }
    return 0;
}
