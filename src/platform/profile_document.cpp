#include "platform/profile_document.h"

#include <cstring>

namespace platform {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

quint32 foldedHash(const char *data, qsizetype size, quint32 seed = 2166136261u)
{
    quint32 hash = seed;
    for (qsizetype i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(foldAscii(data[i]));
        hash *= 16777619u;
    }
    return hash;
}

quint32 keyHash(int section, const char *data, qsizetype size)
{
    return foldedHash(data, size, 2166136261u ^ (static_cast<quint32>(section) * 0x9E3779B9u));
}

std::size_t tableSizeFor(std::size_t entries)
{
    std::size_t size = 16;
    while (size < entries * 2)
        size *= 2;
    return size;
}

QStringView trimSpaces(QStringView name)
{
    while (name.startsWith(u' '))
        name = name.mid(1);
    while (name.endsWith(u' '))
        name.chop(1);
    return name;
}

// The parser reads UTF-8. Each line of an 8-bit file is decoded on its own, so that one line
// the shell wrote in its code page does not turn the UTF-8 text of every other line into
// mojibake. Only the line's content is converted: its break stays where it was.
QByteArray eightBitLinesAsUtf8(QByteArrayView bytes)
{
    QByteArray text;
    text.reserve(bytes.size() + bytes.size() / 8);
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QByteArrayView content = bytes.sliced(pos, end - pos);
        if (content.isValidUtf8())
            text += content;
        else
            text += decodeText(TextCodec::Cp1252, content).toUtf8();
        qsizetype next = end;
        if (next < bytes.size())
            next +=
                (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') ? 2 : 1;
        text += bytes.sliced(end, next - end);
        pos = next;
    }
    return text;
}

} // namespace

ProfileDocument::ProfileDocument(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    const bool littleEndian = m_bytes.startsWith("\xFF\xFE");
    if (littleEndian || m_bytes.startsWith("\xFE\xFF")) {
        m_codec = littleEndian ? TextCodec::Utf16Le : TextCodec::Utf16Be;
        m_rawStart = 2;
        m_text = decodeText(m_codec, QByteArrayView(m_bytes).sliced(2)).toUtf8();
    } else {
        m_utf8Mark = m_bytes.startsWith("\xEF\xBB\xBF");
        m_rawStart = m_utf8Mark ? 3 : 0;
        const QByteArrayView text = QByteArrayView(m_bytes).sliced(m_rawStart);
        m_codec = text.isValidUtf8() ? TextCodec::Utf8 : TextCodec::Cp1252;
        if (m_codec == TextCodec::Cp1252)
            m_text = eightBitLinesAsUtf8(text);
        else
            m_text = m_utf8Mark ? text.toByteArray() : m_bytes;
    }
    splitLines();
    buildIndex();
}

void ProfileDocument::splitLines()
{
    const char *data = m_text.constData();
    const qsizetype size = m_text.size();
    auto next = [&](char c, qsizetype from) {
        const void *hit = std::memchr(data + from, c, static_cast<std::size_t>(size - from));
        return hit ? static_cast<const char *>(hit) - data : size;
    };
    // Remember the next CR and LF found, so that a file with only one kind of line break is
    // still read in one pass.
    qsizetype nextLf = -1;
    qsizetype nextCr = -1;
    int section = -1;
    for (qsizetype pos = 0; pos < size;) {
        if (nextLf < pos)
            nextLf = next('\n', pos);
        if (nextCr < pos)
            nextCr = next('\r', pos);
        Line line;
        line.begin = pos;
        line.contentEnd = std::min(nextLf, nextCr);
        line.end = line.contentEnd;
        if (line.end < size)
            line.end +=
                (data[line.end] == '\r' && line.end + 1 < size && data[line.end + 1] == '\n') ? 2
                                                                                              : 1;
        classify(line);
        if (line.kind == Kind::Header) {
            section = static_cast<int>(m_sections.size());
            m_sections.push_back({static_cast<int>(m_lines.size()), 0});
        }
        line.section = section;
        line.rawBegin = line.begin;
        line.rawEnd = line.end;
        m_lines.push_back(line);
        pos = line.end;
    }
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        m_sections[s].lastLine = (s + 1 < m_sections.size()) ? m_sections[s + 1].headerLine - 1
                                                             : static_cast<int>(m_lines.size()) - 1;
    }
    if (m_codec == TextCodec::Utf8 && m_rawStart == 0)
        return; // the parser read the file's own bytes
    // The same breaks, found again in the file's bytes, so that untouched lines are copied
    // from the original file.
    const qsizetype unit = isUtf16() ? 2 : 1;
    qsizetype raw = m_rawStart;
    const qsizetype rawSize = m_bytes.size() - (m_bytes.size() - m_rawStart) % unit;
    const qsizetype lowByte = m_codec == TextCodec::Utf16Be ? 1 : 0;
    auto unitAt = [&](qsizetype at) {
        const auto low = static_cast<unsigned char>(m_bytes[at + lowByte]);
        return unit == 1 ? low : low | (static_cast<unsigned char>(m_bytes[at + 1 - lowByte]) << 8);
    };
    for (Line &line : m_lines) {
        line.rawBegin = raw;
        while (raw < rawSize && unitAt(raw) != '\r' && unitAt(raw) != '\n')
            raw += unit;
        if (raw < rawSize) {
            const bool crLf =
                unitAt(raw) == '\r' && raw + unit < rawSize && unitAt(raw + unit) == '\n';
            raw += crLf ? 2 * unit : unit;
        }
        line.rawEnd = raw;
    }
    // Half a code unit at the end belongs to no line. Edits keep it where it is, at the very
    // end, so that nothing written after the last line is shifted by a byte.
    m_oddTail = m_bytes.size() - rawSize;
    if (!m_lines.empty())
        m_lines.back().rawEnd = rawSize;
}

void ProfileDocument::classify(Line &line) const
{
    const char *data = m_text.constData();
    qsizetype begin = line.begin;
    qsizetype end = line.contentEnd;
    while (begin < end && isBlank(data[begin]))
        ++begin;
    while (end > begin && isBlank(data[end - 1]))
        --end;
    if (begin == end) {
        line.kind = Kind::Blank;
        return;
    }
    if (data[begin] == ';') {
        line.kind = Kind::Comment;
        return;
    }
    if (data[begin] == '[') {
        line.kind = Kind::Header;
        const void *close =
            std::memchr(data + begin + 1, ']', static_cast<std::size_t>(end - begin - 1));
        qsizetype nameBegin = begin + 1;
        qsizetype nameEnd = close ? static_cast<const char *>(close) - data : end;
        while (nameBegin < nameEnd && isBlank(data[nameBegin]))
            ++nameBegin;
        while (nameEnd > nameBegin && isBlank(data[nameEnd - 1]))
            --nameEnd;
        line.nameBegin = nameBegin;
        line.nameEnd = nameEnd;
        return;
    }
    const void *equals = std::memchr(data + begin, '=', static_cast<std::size_t>(end - begin));
    if (!equals) {
        line.kind = Kind::Text;
        return;
    }
    line.kind = Kind::Entry;
    const qsizetype at = static_cast<const char *>(equals) - data;
    line.nameBegin = begin;
    line.nameEnd = at;
    while (line.nameEnd > begin && isBlank(data[line.nameEnd - 1]))
        --line.nameEnd;
    line.valueBegin = at + 1;
    while (line.valueBegin < end && isBlank(data[line.valueBegin]))
        ++line.valueBegin;
    line.valueEnd = end;
}

void ProfileDocument::buildIndex()
{
    const char *data = m_text.constData();
    m_sectionTable.assign(tableSizeFor(m_sections.size()), 0);
    const std::size_t sectionMask = m_sectionTable.size() - 1;
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        const Line &header = m_lines[m_sections[s].headerLine];
        const qsizetype length = header.nameEnd - header.nameBegin;
        std::size_t slot = foldedHash(data + header.nameBegin, length) & sectionMask;
        for (;; slot = (slot + 1) & sectionMask) {
            if (m_sectionTable[slot] == 0) {
                m_sectionTable[slot] = static_cast<quint32>(s + 1);
                break;
            }
            const Line &other = m_lines[m_sections[m_sectionTable[slot] - 1].headerLine];
            if (sameName(other.nameBegin, other.nameEnd, m_text.mid(header.nameBegin, length)))
                break; // a later copy of a section is never read
        }
    }

    std::size_t entries = 0;
    for (const Line &line : m_lines)
        entries += (line.kind == Kind::Entry && line.section >= 0) ? 1 : 0;
    m_keyTable.assign(tableSizeFor(entries), 0);
    const std::size_t keyMask = m_keyTable.size() - 1;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Entry || line.section < 0)
            continue;
        const qsizetype length = line.nameEnd - line.nameBegin;
        std::size_t slot = keyHash(line.section, data + line.nameBegin, length) & keyMask;
        for (;; slot = (slot + 1) & keyMask) {
            if (m_keyTable[slot] == 0) {
                m_keyTable[slot] = static_cast<quint32>(i + 1);
                break;
            }
            const Line &other = m_lines[m_keyTable[slot] - 1];
            if (other.section == line.section && other.nameEnd - other.nameBegin == length &&
                sameName(other.nameBegin, other.nameEnd, m_text.mid(line.nameBegin, length)))
                break; // the first occurrence of a key wins
        }
    }
}

bool ProfileDocument::sameName(qsizetype begin, qsizetype end, const QByteArray &name) const
{
    if (end - begin != name.size())
        return false;
    const char *data = m_text.constData() + begin;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (foldAscii(data[i]) != foldAscii(name[i]))
            return false;
    }
    return true;
}

QByteArray ProfileDocument::nameBytes(QStringView name)
{
    return trimSpaces(name).toUtf8();
}

QString ProfileDocument::textAt(qsizetype begin, qsizetype end) const
{
    return decodeText(TextCodec::Utf8, QByteArrayView(m_text).sliced(begin, end - begin));
}

int ProfileDocument::findSection(const QByteArray &name) const
{
    const std::size_t mask = m_sectionTable.size() - 1;
    for (std::size_t slot = foldedHash(name.constData(), name.size()) & mask;;
         slot = (slot + 1) & mask) {
        const quint32 entry = m_sectionTable[slot];
        if (entry == 0)
            return -1;
        const Line &header = m_lines[m_sections[entry - 1].headerLine];
        if (sameName(header.nameBegin, header.nameEnd, name))
            return static_cast<int>(entry - 1);
    }
}

int ProfileDocument::findKey(int section, const QByteArray &key) const
{
    const std::size_t mask = m_keyTable.size() - 1;
    for (std::size_t slot = keyHash(section, key.constData(), key.size()) & mask;;
         slot = (slot + 1) & mask) {
        const quint32 entry = m_keyTable[slot];
        if (entry == 0)
            return -1;
        const Line &line = m_lines[entry - 1];
        if (line.section == section && sameName(line.nameBegin, line.nameEnd, key))
            return static_cast<int>(entry - 1);
    }
}

std::optional<QString> ProfileDocument::value(QStringView section, QStringView key) const
{
    const std::optional<int> line = keyLine(section, key);
    if (!line)
        return std::nullopt;
    const Line &found = m_lines[*line - 1];
    return textAt(found.valueBegin, found.valueEnd);
}

std::optional<int> ProfileDocument::keyLine(QStringView section, QStringView key) const
{
    const int s = findSection(nameBytes(section));
    if (s < 0)
        return std::nullopt;
    const int l = findKey(s, nameBytes(key));
    if (l < 0)
        return std::nullopt;
    return l + 1;
}

QStringList ProfileDocument::sectionNames() const
{
    QStringList names;
    for (const Section &section : m_sections) {
        const Line &header = m_lines[section.headerLine];
        names.append(textAt(header.nameBegin, header.nameEnd));
    }
    return names;
}

std::optional<QStringList> ProfileDocument::keyNames(QStringView section) const
{
    const int s = findSection(nameBytes(section));
    if (s < 0)
        return std::nullopt;
    QStringList names;
    for (int i = m_sections[s].headerLine + 1; i <= m_sections[s].lastLine; ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Entry)
            names.append(textAt(line.nameBegin, line.nameEnd));
    }
    return names;
}

std::vector<ProfileDocument::Name> ProfileDocument::outline() const
{
    std::vector<Name> names;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Header || line.kind == Kind::Entry)
            names.push_back({textAt(line.nameBegin, line.nameEnd), static_cast<int>(i) + 1,
                             line.section, line.kind == Kind::Header});
    }
    return names;
}

QByteArray ProfileDocument::rawLine(int line) const
{
    const Line &l = m_lines[line];
    return m_bytes.mid(l.rawBegin, l.rawEnd - l.rawBegin);
}

bool ProfileDocument::isCp1252Line(int line) const
{
    const Line &l = m_lines[line];
    return m_codec == TextCodec::Cp1252 && !m_utf8Mark &&
           !QByteArrayView(m_bytes).sliced(l.rawBegin, l.rawEnd - l.rawBegin).isValidUtf8();
}

bool ProfileDocument::isUtf16() const
{
    return m_codec == TextCodec::Utf16Le || m_codec == TextCodec::Utf16Be;
}

std::optional<QByteArray> ProfileDocument::encodedLine(QStringView text, bool cp1252) const
{
    const QString line = text.toString() + QStringLiteral("\r\n");
    if (isUtf16())
        return encodeText(m_codec, line);
    // Where the file's own lines are in the code page, a line that fits stays in it, so that a
    // reader of the code page reads it as it reads the rest; it must not happen to be valid UTF-8
    // too, or it would read back as other characters. Everything else is UTF-8, which holds every
    // character and always reads back as written.
    if (cp1252) {
        const std::optional<QByteArray> bytes = encodeText(TextCodec::Cp1252, line);
        if (bytes && decodeText(codecForEightBitText(*bytes), *bytes) == line)
            return bytes;
    }
    return encodeText(TextCodec::Utf8, line);
}

bool ProfileDocument::endsWithLineBreak() const
{
    if (isUtf16()) {
        const QByteArrayView whole = QByteArrayView(m_bytes).chopped(m_oddTail);
        return whole.endsWith(*encodeText(m_codec, u"\r")) ||
               whole.endsWith(*encodeText(m_codec, u"\n"));
    }
    return m_bytes.endsWith('\n') || m_bytes.endsWith('\r');
}

std::optional<QByteArray> ProfileDocument::withValue(QStringView section, QStringView key,
                                                     QStringView value) const
{
    const QStringView sectionName = trimSpaces(section);
    const QStringView keyName = trimSpaces(key);
    const QString entry = keyName.toString() + u'=' + value.toString();
    const bool cp1252 = m_codec == TextCodec::Cp1252 && !m_utf8Mark;
    const int s = findSection(nameBytes(sectionName));
    if (s < 0) {
        const std::optional<QByteArray> header =
            encodedLine(QString(u'[' + sectionName.toString() + u']'), cp1252);
        const std::optional<QByteArray> line = encodedLine(entry, cp1252);
        if (!header || !line)
            return std::nullopt;
        QByteArray out = m_bytes.chopped(m_oddTail);
        if (!out.isEmpty() && !endsWithLineBreak())
            out += *encodedLine(u"", false);
        return out + *header + *line + m_bytes.right(m_oddTail);
    }

    const int found = findKey(s, nameBytes(keyName));
    if (found >= 0) {
        const Line &line = m_lines[found];
        qsizetype valueStart = line.valueBegin;
        // A value that starts with blanks brings its own: the line's blanks after "=" would
        // come on top of them, and the line would grow at every write of the same value. An
        // empty value would leave them at the end of the line, where the next write drops them.
        const QChar first = value.isEmpty() ? QChar(u' ') : value.front();
        if (first == u' ' || first == u'\t' || first == u'\v') {
            while (isBlank(m_text[valueStart - 1])) // stops at the "="
                --valueStart;
        }
        const std::optional<QByteArray> replaced =
            encodedLine(textAt(line.begin, valueStart) + value.toString(), isCp1252Line(found));
        if (!replaced)
            return std::nullopt;
        return m_bytes.left(line.rawBegin) + *replaced +
               QByteArrayView(m_bytes).sliced(line.rawEnd).toByteArray();
    }

    const std::optional<QByteArray> added = encodedLine(entry, cp1252);
    if (!added)
        return std::nullopt;
    int after = m_sections[s].headerLine;
    for (int i = after + 1; i <= m_sections[s].lastLine; ++i) {
        if (m_lines[i].kind == Kind::Entry || m_lines[i].kind == Kind::Text)
            after = i;
    }
    const Line &anchor = m_lines[after];
    QByteArray out = m_bytes.left(anchor.rawEnd);
    if (anchor.end == anchor.contentEnd) // the last line of a file without a final line break
        out += *encodedLine(u"", false);
    out += *added;
    out += QByteArrayView(m_bytes).sliced(anchor.rawEnd);
    return out;
}

QByteArray ProfileDocument::withoutKey(QStringView section, QStringView key) const
{
    const int s = findSection(nameBytes(section));
    if (s < 0)
        return m_bytes;
    const QByteArray name = nameBytes(key);
    QByteArray out = m_bytes.left(m_rawStart);
    bool removed = false;
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        const Line &line = m_lines[i];
        if (line.section == s && line.kind == Kind::Entry &&
            sameName(line.nameBegin, line.nameEnd, name)) {
            removed = true;
            continue;
        }
        out += rawLine(i);
    }
    return removed ? out + m_bytes.right(m_oddTail) : m_bytes;
}

QByteArray ProfileDocument::withoutSection(QStringView section) const
{
    const QByteArray name = nameBytes(section);
    std::vector<bool> doomed(m_sections.size(), false);
    bool any = false;
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        const Line &header = m_lines[m_sections[s].headerLine];
        doomed[s] = sameName(header.nameBegin, header.nameEnd, name);
        any = any || doomed[s];
    }
    if (!any)
        return m_bytes;
    QByteArray out = m_bytes.left(m_rawStart);
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        const Line &line = m_lines[i];
        const bool goes =
            line.section >= 0 && doomed[line.section] &&
            (line.kind == Kind::Header || line.kind == Kind::Entry || line.kind == Kind::Text);
        if (!goes)
            out += rawLine(i);
    }
    return out + m_bytes.right(m_oddTail);
}

} // namespace platform
