#pragma once

#include "platform/text_codec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace platform {

// One profile (INI) file held as its bytes, read and edited the way the Windows profile
// functions do it. Parsing takes bytes and never touches the disk, so it is tested on text.
//
// The dialect, as a reader should know it:
// - CR LF, a lone CR and a lone LF each end a line. Space, TAB and VT around lines, names and
//   values do not count. Blank lines carry nothing and do not end a section.
// - A line whose first character is "[" is a section header; the name runs to the first "]"
//   (or to the end of the line when there is none), trimmed. "[]" is a section named "".
// - A line whose first character is ";" is a comment, never read, never listed.
// - An entry is "key=value": the key before the first "=", the value after it; a line without
//   "=" stays in the file but is no key. Lines before the first header belong to no section and
//   cannot be read.
// - The first occurrence of a section, and the first occurrence of a key in it, win. Names are
//   compared without regard to ASCII letter case.
// - A file that starts with FF FE is UTF-16LE, one that starts with FE FF UTF-16BE, and each
//   stays so. Any other file is 8-bit text, each line decoded on its own: as UTF-8 when the line
//   is valid UTF-8, else as Windows-1252. A UTF-8 byte-order mark at the start of the file marks
//   it as UTF-8 and is no part of the first line.
//
// Edits return the new bytes of the whole file: every line they do not touch keeps its bytes
// (line endings, indentation, comments, the byte-order mark), and every line they write ends in
// CR LF, in the file's encoding. A line written into an 8-bit file without a mark is
// Windows-1252 where the file's own lines are (the line replaced, or for a new line any line of
// the file) and the text fits and reads back so; otherwise it is UTF-8.
class ProfileDocument
{
public:
    ProfileDocument()
        : ProfileDocument(QByteArray())
    {}
    explicit ProfileDocument(QByteArray bytes);

    const QByteArray &bytes() const { return m_bytes; }
    // Utf8 when every line is UTF-8, Cp1252 when some line is not, or the UTF-16 of the mark.
    TextCodec codec() const { return m_codec; }
    // The file starts with the UTF-8 byte-order mark: what is written into it is UTF-8.
    bool hasUtf8Mark() const { return m_utf8Mark; }

    // The value of the key with blanks trimmed at both ends, quotes still on; std::nullopt when
    // the section or the key is missing. section and key lose their blanks (spaces only) at both
    // ends first, as the lookup arguments of the Windows functions do.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Every section name, duplicates included, in file order.
    QStringList sectionNames() const;
    // Every key of the first such section, duplicates included (comments and lines without "="
    // are not keys); std::nullopt when the section is missing.
    std::optional<QStringList> keyNames(QStringView section) const;
    // The line (1 for the first) that holds the key a read finds; std::nullopt when the section
    // or the key is missing.
    std::optional<int> keyLine(QStringView section, QStringView key) const;

    // One section header or key as it stands in the file.
    struct Name
    {
        QString name;
        int line = 0;     // 1 for the first
        int section = -1; // a key's section: the ordinal of its header, -1 before any
        bool header = false;
    };
    // Every header and key in file order, duplicates included, for a reader that looks for
    // what a read never reaches (a second copy of a section or key).
    std::vector<Name> outline() const;

    // The file with key=value written into [section]: an existing key's value is replaced in
    // place (the line keeps its indentation and its spelling up to the value); a new key goes
    // after the last entry of the section; a new section is appended at the end. std::nullopt
    // when the text cannot be stored so that it reads back exactly (half a surrogate pair).
    [[nodiscard]] std::optional<QByteArray> withValue(QStringView section, QStringView key,
                                                      QStringView value) const;
    // The file without the key's lines in the first such section (unchanged bytes when absent).
    [[nodiscard]] QByteArray withoutKey(QStringView section, QStringView key) const;
    // The file without every section of that name: headers and entries go, comments and blank
    // lines inside them stay (unchanged bytes when absent).
    [[nodiscard]] QByteArray withoutSection(QStringView section) const;

private:
    enum class Kind : quint8
    {
        Blank,
        Comment,
        Header,
        Entry,
        Text
    };
    struct Line
    {
        qsizetype begin = 0;      // in m_text
        qsizetype contentEnd = 0; // before the line break
        qsizetype end = 0;        // after the line break
        qsizetype nameBegin = 0, nameEnd = 0;
        qsizetype valueBegin = 0, valueEnd = 0;
        qsizetype rawBegin = 0, rawEnd = 0; // in m_bytes
        int section = -1;                   // ordinal of the section the line belongs to
        Kind kind = Kind::Blank;
    };
    struct Section
    {
        int headerLine = 0;
        int lastLine = 0; // last line before the next header or the end
    };

    void splitLines();
    void classify(Line &line) const;
    void buildIndex();
    static QByteArray nameBytes(QStringView name);
    QString textAt(qsizetype begin, qsizetype end) const;
    int findSection(const QByteArray &name) const;
    int findKey(int section, const QByteArray &key) const;
    bool sameName(qsizetype begin, qsizetype end, const QByteArray &name) const;
    QByteArray rawLine(int line) const;
    bool isCp1252Line(int line) const;
    bool isUtf16() const;
    std::optional<QByteArray> encodedLine(QStringView text, bool cp1252) const;
    bool endsWithLineBreak() const;

    QByteArray m_bytes;
    QByteArray m_text;        // the UTF-8 the parser reads: m_bytes when the file is UTF-8
    qsizetype m_rawStart = 0; // the length of the byte-order mark
    bool m_utf8Mark = false;
    qsizetype m_oddTail = 0; // 1 when a UTF-16 file ends in half a code unit
    TextCodec m_codec = TextCodec::Utf8;
    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
    std::vector<quint32> m_sectionTable; // open addressing: first section of a name, + 1
    std::vector<quint32> m_keyTable;     // open addressing: first entry line of a key, + 1
};

} // namespace platform
