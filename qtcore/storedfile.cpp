#include "qtcore/storedfile.h"

#include <QList>
#include <QStringDecoder>

#include "qtcore/storedform.h"

namespace storedfile {

namespace {

const QByteArray kFirstLine = QByteArrayLiteral("; Tengwar Ostrel\n");
const QByteArray kLastLineStart = QByteArrayLiteral("; konec ");
const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");
const char kHexDigits[] = "0123456789ABCDEF";

// Whether a line ends inside a quoted value: an odd number of quotes that
// are not escaped by a backslash.
bool endsInsideQuotes(QByteArrayView line) {
    bool inside = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
        } else if (line[i] == '"') {
            inside = !inside;
        }
    }
    return inside;
}

// The position of the first '=' or ';' outside quotes, or -1.
qsizetype findOutsideQuotes(QByteArrayView line, char wanted) {
    bool inside = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\') {
            ++i;
        } else if (c == '"') {
            inside = !inside;
        } else if (c == wanted && !inside) {
            return i;
        }
    }
    return -1;
}

bool isLastLine(QByteArrayView line) {
    if (!line.startsWith(kLastLineStart) || line.size() == kLastLineStart.size()) {
        return false;
    }
    for (const char c : line.sliced(kLastLineStart.size())) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Whether each line is one that Qt reads without losing anything: empty, a
// comment, a closed section header, or a "key=value" line that does not end
// inside quotes.
bool linesAreSound(const QList<QByteArray>& lines) {
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';')) {
            continue;
        }
        // An '=' after a backslash is escaped: a line with no other holds no key.
        if (line.startsWith('[') ? !line.contains(']')
                                 : findOutsideQuotes(line, '=') < 0 || endsInsideQuotes(line)) {
            return false;
        }
    }
    return true;
}

// A character written as an escape; a number that names none (a surrogate
// half, beyond U+10FFFF, or overflowed by a long row of digits) is U+FFFD,
// which is written back as it is read.
void appendCodePoint(QString& text, char32_t code) {
    const bool valid = code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    const char32_t character = valid ? code : 0xFFFD;
    text += QString::fromUcs4(&character, 1);
}

// UTF-8 bytes as text, a byte-order mark at their start kept as the
// character it is (QString::fromUtf8 drops it, and a value whose text
// follows an escape would lose it).
QString utf8Text(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

void chopTrailingSpaces(QString& text, qsizetype limit) {
    qsizetype n = text.size();
    while (n > limit && (text.at(n - 1) == QLatin1Char(' ') || text.at(n - 1) == QLatin1Char('\t'))) {
        --n;
    }
    text.truncate(n);
}

}  // namespace

QString temporaryMark() {
    return QStringLiteral(".tengwar-ostrel-");
}

QByteArray spellKey(const QString& key) {
    QByteArray out;
    for (const QChar qc : key) {
        char16_t ch = qc.unicode();
        if (ch == '/') {
            out += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_' ||
                   ch == '-' || ch == '.') {
            out += static_cast<char>(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += kHexDigits[ch / 16];
            out += kHexDigits[ch % 16];
        } else {
            out += "%U";
            char digits[4];
            for (int j = 3; j >= 0; --j) {
                digits[j] = kHexDigits[ch % 16];
                ch >>= 4;
            }
            out.append(digits, 4);
        }
    }
    return out;
}

QString readKey(QByteArrayView spelled) {
    const QString decoded = QString::fromUtf8(spelled);
    QString key;
    qsizetype i = 0;
    while (i < decoded.size()) {
        const QChar c = decoded.at(i);
        if (c == QLatin1Char('\\')) {
            key += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c != QLatin1Char('%') || i == decoded.size() - 1) {
            key += c;
            ++i;
            continue;
        }
        qsizetype first = i + 1;
        int digits = 2;
        if (decoded.at(first) == QLatin1Char('U')) {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const ushort code = first + digits <= decoded.size()
                                ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (!ok) {
            key += QLatin1Char('%');
            ++i;
            continue;
        }
        key += QChar(code);
        i = first + digits;
    }
    // As QSettings takes a key: no slash at either end, none doubled. A key
    // written by hand as "Zoom/" is the key "Zoom", and is written back so.
    while (key.contains(QLatin1String("//"))) {
        key.replace(QLatin1String("//"), QLatin1String("/"));
    }
    while (key.startsWith(QLatin1Char('/'))) {
        key.remove(0, 1);
    }
    while (key.endsWith(QLatin1Char('/'))) {
        key.chop(1);
    }
    return key;
}

// Qt's quoting: special characters escaped with a backslash, and the whole
// value in quotes when it holds ';', ',' or '=' or starts or ends with a space.
QByteArray spellValue(const QString& text) {
    const QString value = text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    QByteArray out;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar qc = value.at(i);
        const char16_t ch = qc.unicode();
        if (ch == ';' || ch == ',' || ch == '=') {
            needsQuotes = true;
        }
        if (escapeNextIfDigit && storedform::hexDigitValue(ch) >= 0) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
            case '\0':
                out += "\\0";
                escapeNextIfDigit = true;
                break;
            case '\a':
                out += "\\a";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\v':
                out += "\\v";
                break;
            case '"':
            case '\\':
                out += '\\';
                out += static_cast<char>(ch);
                break;
            default:
                if (ch <= 0x1F) {
                    out += "\\x" + QByteArray::number(ch, 16);
                    escapeNextIfDigit = true;
                } else {
                    // A character beyond the first plane is two halves that
                    // only together are UTF-8.
                    const bool pair = qc.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate();
                    out += QStringView(value).sliced(i, pair ? 2 : 1).toUtf8();
                    i += pair ? 1 : 0;
                }
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' ')) {
        out = '"' + out + '"';
    }
    return out;
}

// Qt's reading of a value: quotes, backslash escapes, and unquoted commas
// that make a list.
bool valueText(QByteArrayView raw, QString& text) {
    static const char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'},  {'n', '\n'},
                                       {'r', '\r'}, {'t', '\t'}, {'v', '\v'},  {'"', '"'},
                                       {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    text.clear();
    bool inQuotes = false;
    bool quoted = false;
    qsizetype chopLimit = 0;
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t')) {
            ++i;
        }
    };
    skipSpaces();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            ++i;
            if (i >= raw.size()) {
                break;
            }
            const char e = raw[i++];
            bool known = false;
            for (const auto& escape : kEscapes) {
                if (e == escape[0]) {
                    text += QLatin1Char(escape[1]);
                    known = true;
                    break;
                }
            }
            if (!known && e == 'x') {
                char32_t code = 0;
                int digit = 0;
                while (i < raw.size() &&
                       (digit = storedform::hexDigitValue(static_cast<unsigned char>(raw[i]))) >= 0) {
                    code = code * 16 + static_cast<char32_t>(digit);
                    ++i;
                }
                appendCodePoint(text, code);
            } else if (!known && e >= '0' && e <= '7') {
                char32_t code = static_cast<char32_t>(e - '0');
                while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7') {
                    code = code * 8 + static_cast<char32_t>(raw[i++] - '0');
                }
                appendCodePoint(text, code);
            }
            chopLimit = text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
            }
        } else if (c == ',' && !inQuotes) {
            return false;  // a list
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',') {
                ++j;
            }
            text += utf8Text(raw.sliced(i, j - i));
            i = j;
        }
    }
    if (!quoted) {
        chopTrailingSpaces(text, chopLimit);
    }
    if (text.startsWith(QLatin1Char('@'))) {
        if (!text.startsWith(QLatin1String("@@"))) {
            return false;  // @Variant(...), @ByteArray(...), @Invalid()
        }
        text.remove(0, 1);
    }
    return true;
}

ReadResult parse(QByteArrayView data, const QString& group) {
    ReadResult result;
    if (data.startsWith(kBom)) {
        data = data.sliced(kBom.size());
    }
    QByteArray kept = data.toByteArray();
    if (kept.isEmpty() || kFirstLine.startsWith(kept)) {
        // Nothing, or less than the first line: the program never writes that.
        result.shape = Shape::Cut;
        return result;
    }
    QList<QByteArray> lines = kept.split('\n');
    if (kept.startsWith(kFirstLine)) {
        // The last line counts with its line end: a cut inside its digits
        // must not pass for a whole file.
        bool ended = false;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            ended = ended || isLastLine(lines[i].trimmed());
        }
        if (!ended) {
            result.shape = Shape::Cut;
            // The part after the last line end is a piece of a line.
            lines.removeLast();
            kept.truncate(kept.lastIndexOf('\n') + 1);
        }
    }
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast();  // what follows the last line end
    }
    // A character cut at the very end is not UTF-8 either: the decoder
    // would only hold its bytes back.
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(kept);
    if (kept.contains('\0') || utf8.hasError() || !QByteArrayView(kept).isValidUtf8() || !linesAreSound(lines)) {
        result.shape = Shape::Unreadable;
        return result;
    }

    enum class Where { Leading, Group, Other } where = Where::Leading;
    for (const QByteArray& raw : lines) {
        QByteArray line = raw;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        const QByteArray trimmed = line.trimmed();
        if (isLastLine(trimmed)) {
            continue;  // written anew with every write, not kept with a section
        }
        if (trimmed.startsWith('[')) {
            const QString section = readKey(trimmed.mid(1, trimmed.indexOf(']') - 1).trimmed());
            where = section == group ? Where::Group : Where::Other;
            if (where == Where::Other) {
                result.contents.otherSections += raw + '\n';
            }
            continue;
        }
        // Lines kept for others are kept byte for byte, line ends too: a
        // CR taken off at every write would shorten them write by write.
        if (where == Where::Other) {
            result.contents.otherSections += raw + '\n';
            continue;
        }
        if (trimmed.isEmpty() || trimmed.startsWith(';')) {
            continue;  // the first and last lines, and comments
        }
        if (where == Where::Leading) {
            result.contents.leading += raw + '\n';
            continue;
        }
        const qsizetype equals = findOutsideQuotes(trimmed, '=');
        if (equals < 0) {
            continue;  // never so: linesAreSound refused it
        }
        QByteArrayView value = QByteArrayView(trimmed).sliced(equals + 1);
        // An unquoted ';' starts a comment.
        if (const qsizetype comment = findOutsideQuotes(value, ';'); comment >= 0) {
            value = value.first(comment);
        }
        result.contents.values[readKey(trimmed.first(equals).trimmed())] = value.trimmed().toByteArray();
    }
    return result;
}

QByteArray compose(const Contents& contents, const QString& group) {
    QByteArray out = kFirstLine;
    out += contents.leading;
    out += '[' + spellKey(group) + "]\n";
    for (const auto& [key, value] : contents.values) {
        out += spellKey(key) + '=' + value + '\n';
    }
    if (!contents.otherSections.isEmpty()) {
        out += '\n' + contents.otherSections;
    }
    out += kLastLineStart + QByteArray::number(out.size()) + '\n';
    return out;
}

}  // namespace storedfile
