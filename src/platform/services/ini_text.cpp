#include "platform/services/ini_text.h"

#include <algorithm>

// The lines are the file's own lines: "\n", "\r\n" or "\r" ends one. Unlike
// QSettings, an open quote or a trailing backslash does not join the next
// line to a value, so a slip in one hand-edited value cannot swallow the
// sections below it.

namespace tarvel::platform {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool sameName(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// "[General]" holds the keys outside any section; a section really called
// General is written "[%General]".
QString sectionName(QByteArrayView written) {
    if (written.compare("general", Qt::CaseInsensitive) == 0) return {};
    if (written.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(written.sliced(1));
    return IniText::unescapedName(written);
}

QByteArray sectionHeader(const QString &section) {
    QByteArray name = IniText::escapedName(section);
    if (name.isEmpty())
        name = "General";
    else if (name.compare("general", Qt::CaseInsensitive) == 0)
        name = "%General";
    return '[' + name + ']';
}

int hexDigit(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

IniText::IniText(QByteArray bytes) : bytes_(std::move(bytes)) {
    const qsizetype size = bytes_.size();
    qsizetype pos = bytes_.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    QString section;
    while (pos < size) {
        Line line;
        line.begin = pos;
        line.end = pos;
        while (line.end < size && bytes_[line.end] != '\n' && bytes_[line.end] != '\r')
            ++line.end;
        line.next = line.end;
        if (line.next < size) {
            const bool crlf =
                bytes_[line.next] == '\r' && line.next + 1 < size && bytes_[line.next + 1] == '\n';
            line.next += crlf ? 2 : 1;
        }
        pos = line.next;

        // As QSettings reads a line: leading blanks skipped, a ";" outside
        // quotes starts a comment, a backslash takes the next byte with it,
        // and the first "=" outside quotes ends the key.
        const QByteArrayView text =
            QByteArrayView(bytes_).sliced(line.begin, line.end - line.begin);
        qsizetype first = 0;
        while (first < text.size() && isBlank(text[first]))
            ++first;
        qsizetype stop = text.size();
        qsizetype equals = -1;
        bool quoted = false;
        for (qsizetype i = first; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == '=' && !quoted && equals < 0) {
                equals = i;
            } else if (c == ';' && !quoted) {
                stop = i;
                break;
            }
        }
        if (first < stop && text[first] == '[') {
            qsizetype close = text.sliced(0, stop).indexOf(']', first);
            if (close < 0) close = stop; // QSettings takes the rest as the name
            section = sectionName(text.sliced(first + 1, close - first - 1).trimmed());
            line.kind = Line::Section;
            line.section = section;
        } else if (equals >= 0 && equals < stop) {
            line.kind = Line::Key;
            line.section = section;
            line.key = unescapedName(text.sliced(first, equals - first).trimmed());
            line.valueBegin = line.begin + equals + 1;
            line.valueEnd = line.begin + stop;
        }
        lines_.append(line);
    }
}

QList<qsizetype> IniText::keyLines(const QString &section, const QString &key) const {
    QList<qsizetype> found;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const Line &line = lines_[i];
        if (line.kind == Line::Key && sameName(line.section, section) && sameName(line.key, key))
            found.append(i);
    }
    return found;
}

std::optional<QByteArray> IniText::rawValue(const QString &section, const QString &key) const {
    const QList<qsizetype> found = keyLines(section, key);
    if (found.isEmpty()) return std::nullopt;
    const Line &line = lines_[found.last()];
    return bytes_.sliced(line.valueBegin, line.valueEnd - line.valueBegin);
}

QList<QByteArray> IniText::rawValues() const {
    QList<QByteArray> values;
    for (const Line &line : lines_)
        if (line.kind == Line::Key)
            values.append(bytes_.sliced(line.valueBegin, line.valueEnd - line.valueBegin));
    return values;
}

QByteArray IniText::lineEnd() const {
    for (const Line &line : lines_)
        if (line.next > line.end) return line.next - line.end == 2 ? "\r\n" : "\n";
    return "\n";
}

QByteArray IniText::withValue(const QString &section, const QString &key,
                              const QByteArray &raw) const {
    const QByteArray entry = escapedName(key) + '=' + raw;
    QByteArray out = bytes_;

    if (const QList<qsizetype> found = keyLines(section, key); !found.isEmpty()) {
        // From the back, so that the places still to change stay where they are.
        for (qsizetype n = found.size() - 1; n >= 0; --n) {
            const Line &line = lines_[found[n]];
            if (n == 0)
                out.replace(line.begin, line.end - line.begin, entry);
            else
                out.remove(line.begin, line.next - line.begin);
        }
        return out;
    }

    const QByteArray eol = lineEnd();
    const auto header = std::find_if(lines_.cbegin(), lines_.cend(), [&](const Line &line) {
        return line.kind == Line::Section && sameName(line.section, section);
    });
    if (header != lines_.cend()) {
        auto last = header;
        for (auto it = header + 1; it != lines_.cend() && it->kind != Line::Section; ++it)
            if (it->kind == Line::Key) last = it;
        QByteArray added = entry + eol;
        if (last->next == last->end) added.prepend(eol); // the file's last line had no end
        out.insert(last->next, added);
        return out;
    }

    if (!lines_.isEmpty()) {
        const Line &last = lines_.last();
        if (last.next == last.end) out += eol;
        if (!QByteArrayView(bytes_).sliced(last.begin, last.end - last.begin).trimmed().isEmpty())
            out += eol; // a blank line between sections, as QSettings writes them
    }
    out += sectionHeader(section) + eol + entry + eol;
    return out;
}

QByteArray IniText::escapedName(const QString &name) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out;
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += digits[(c >> shift) & 0xF];
        }
    }
    return out;
}

QString IniText::unescapedName(QByteArrayView name) {
    const QString text = QString::fromUtf8(name);
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (c == u'%' && i + 1 < text.size()) {
            const bool wide = text[i + 1] == u'U';
            const qsizetype from = i + (wide ? 2 : 1);
            const qsizetype count = wide ? 4 : 2;
            if (from + count <= text.size()) {
                char16_t code = 0;
                bool ok = true;
                for (qsizetype k = from; k < from + count && ok; ++k) {
                    const int d = hexDigit(text[k].unicode());
                    ok = d >= 0;
                    code = char16_t(code * 16 + d);
                }
                if (ok) {
                    out += QChar(code);
                    i = from + count;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace tarvel::platform
