#pragma once

#include "skin/box_description.h"
#include "skin/button_line.h"
#include "skin/skin_problem.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace platform {
class ProfileSnapshot;
}

namespace skin {

// One INI-format file of the theme (a skin file, its override file, voicecontrol.ini) and the
// typed reads of its values: each value form with the default it takes where the key is missing
// or its text does not convert. Every read and write goes through ReadINI, WriteINI and
// DeleteINI, so INIValue, "NotFound" and the two messages behave as for any other, and a read
// sees the file as it is on disk now.
class ThemeFile
{
public:
    ThemeFile() = default;
    explicit ThemeFile(QString path);

    // The stored path ("\" separators allowed, letter case not counting where the exact name is
    // missing).
    const QString &path() const { return m_path; }

    // The override file beside a skin file: the path with its last three characters replaced by
    // "ini", by characters and not by extension, as the shell forms it ("Security.SKN" and
    // "Security.skn" share "Security.ini"). An empty path, naming no file, for a path of fewer
    // than three characters.
    [[nodiscard]] ThemeFile overrideFile() const;

    // This file and its override file as they are on disk now, each parsed once: every read of
    // the result, and of its overrideFile(), comes from that text and never looks at the disk
    // again, and a file that does not read shows nothing (snapshot() says why). For a reader
    // that looks at many keys of one version of a theme, as its checker does.
    [[nodiscard]] ThemeFile frozen() const;
    // What frozen() read; nullptr for a file read from disk at each read.
    [[nodiscard]] const platform::ProfileSnapshot *snapshot() const { return m_snapshot.get(); }

    // Text: the value as written; std::nullopt when the key is missing.
    [[nodiscard]] std::optional<QString> text(const QString &section, const QString &key) const;
    [[nodiscard]] QString text(const QString &section, const QString &key,
                               const QString &fallback) const;
    // Boolean: "True" or "False" in any case, or a number, non-zero meaning true.
    [[nodiscard]] bool boolean(const QString &section, const QString &key, bool fallback) const;
    // Whole number by the leading-number rule; fallback also when the text holds no number.
    [[nodiscard]] qint32 wholeNumber(const QString &section, const QString &key,
                                     qint32 fallback) const;
    // Colour of a whole "red,green,blue" value (toColour); fallback also for a value with fewer
    // than two commas or a component out of range.
    [[nodiscard]] quint32 colour(const QString &section, const QString &key,
                                 quint32 fallback) const;
    // Mask colour "red,green,blue" field by field (maskColourValue).
    [[nodiscard]] quint32 maskColour(const QString &section, const QString &key,
                                     quint32 fallback) const;
    // Field list of at most `expected` fields (fieldList).
    [[nodiscard]] QStringList fields(const QString &section, const QString &key, int expected,
                                     const QStringList &fallback = {}) const;
    // Box description (parseBoxDescription); the fallback's default leaves a box as designed.
    [[nodiscard]] BoxDescription box(const QString &section, const QString &key,
                                     const BoxDescription &fallback = {}) const;

    // What a screen reader calls the element of key in section: the text of "key.Name" ("42.Name"
    // beside "42=", "InputBox.Name" beside "InputBox="), from the override file when that gives
    // one, else from this file, blanks at its ends removed; empty when neither names it.
    [[nodiscard]] QString elementName(const QString &section, const QString &key) const;

    // Layout line n of a layout section ("01", ..., "99", "100"): std::nullopt, the end of the
    // layout, when this file lacks the key; the override file's text when that file holds it,
    // else this file's. Only this file decides which lines exist.
    [[nodiscard]] std::optional<QString> layoutLine(const QString &section, int n) const;

    // The button line of key in section: from the override file when it gives a text that is not
    // empty (an override line that exists but is empty does not hide the theme's own), else
    // from this file; an empty line when neither holds it.
    [[nodiscard]] ButtonLine buttonLine(const QString &section, const QString &key) const;

    // Where a value is: the line that holds key in section (0 when the file, section or key is
    // missing), the keys of a section in file order, the sections of the file.
    [[nodiscard]] int lineOf(const QString &section, const QString &key) const;
    [[nodiscard]] QStringList keys(const QString &section) const;
    [[nodiscard]] QStringList sections() const;
    // A problem of key in section, placed on the line that holds it in this file.
    [[nodiscard]] SkinProblem problem(const QString &section, const QString &key,
                                      const QString &message, SkinProblem::Severity severity) const;
    // A problem of layout line n, placed where the line's text comes from: the override file
    // when that holds the key, else this file.
    [[nodiscard]] SkinProblem layoutProblem(const QString &section, int n, const QString &message,
                                            SkinProblem::Severity severity) const;

    // WriteINI: false, with the file as it was, when the write failed ("Error Writing Key").
    [[nodiscard]] bool write(const QString &section, const QString &key,
                             const QString &value) const;
    // DeleteINI of the key, quiet: a key or file that is not there is no failure, and nothing is
    // shown either way. False when the file could not be changed.
    [[nodiscard]] bool removeQuietly(const QString &section, const QString &key) const;

private:
    QString m_path;
    std::shared_ptr<const platform::ProfileSnapshot> m_snapshot;
    std::shared_ptr<const platform::ProfileSnapshot> m_overrideSnapshot;
};

} // namespace skin
