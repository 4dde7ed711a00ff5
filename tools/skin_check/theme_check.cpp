#include "theme_check.h"

#include "console/settings_entries.h"
#include "file_verdicts.h"
#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "platform/profile_engine.h"
#include "skin/layout_line.h"
#include "skin/theme.h"
#include "skin/value_forms.h"
#include "value_check.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace check {
namespace {

using Severity = skin::SkinProblem::Severity;

const QString defaultSection = QStringLiteral("DEFAULT");
const QString securitySection = QStringLiteral("SECURITY");

// The sections of file, each once: a second copy is never read, and checkIniFile() says so.
QStringList sectionsRead(const skin::ThemeFile &file)
{
    QStringList sections;
    for (const QString &section : file.sections())
        if (!sections.contains(section, Qt::CaseInsensitive))
            sections.append(section);
    return sections;
}

// Everything in the theme folder, files or not, by its name on disk.
QStringList folderEntries(const skin::Theme &theme)
{
    const QDir folder(platform::nativePath(theme.folder()));
    return folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDir::Name);
}

bool hasSuffix(const QString &name, QStringView suffix)
{
    return name.endsWith(suffix, Qt::CaseInsensitive);
}

// The console skins: "Security.skn" and every screen-width variant ("Security1280.skn").
bool isConsoleSkin(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^security\\d*\\.skn$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

// A file the checks below may read: one that is there and reads. What is wrong with any other
// is said by checkIniFile().
bool reads(const skin::ThemeFile &file)
{
    const platform::ProfileSnapshot *snapshot = file.snapshot();
    return snapshot && snapshot->exists();
}

// Calls entry(n, text) for "01", "02", ... of an index section until the first missing key,
// then reports the keys past that gap.
template<typename Entry>
void forEachIndexEntry(const skin::ThemeFile &file, const QString &section, Entry entry,
                       Problems &problems)
{
    int n = 1;
    for (; const std::optional<QString> text = file.text(section, skin::layoutKey(n)); ++n)
        entry(skin::layoutKey(n), *text);
    checkGap(file, section, n, problems);
}

// The two skin files without which the console has nothing to lay out.
void checkFilesPresent(const skin::Theme &theme, Problems &problems)
{
    const std::pair<QString, QString> needed[] = {
        {QStringLiteral("Security.skn"),
         QStringLiteral("the theme has no Security.skn: the console and its program chooser "
                        "have no layout")},
        {QStringLiteral("terminal.skn"),
         QStringLiteral("the theme has no terminal.skn: no password dialog, no switches, no "
                        "password sounds")}};
    for (const auto &[name, message] : needed) {
        std::optional<platform::FileStamp> stamp;
        platform::nativePath(theme.file(name), &stamp);
        if (!stamp)
            problems.append({theme.file(name), 0, {}, {}, Severity::Error, message});
    }
}

// The window's colour: a value that is no colour leaves the console's own grey.
void checkBackGround(const skin::ThemeFile &skin, Problems &problems)
{
    const QString key = QStringLiteral("BackGround");
    const std::optional<QString> value = skin.text(defaultSection, key);
    if (!value)
        return;
    if (!skin::toColour(*value)) {
        problems.append(skin.problem(defaultSection, key,
                                     QStringLiteral("\"%1\" is no colour (red,green,blue, each "
                                                    "from 0 to 255): the console keeps its own "
                                                    "grey")
                                         .arg(*value),
                                     Severity::Error));
        return;
    }
    if (const QString warning = colourWarning(key, skin::fieldList(*value, 3)); !warning.isEmpty())
        problems.append(skin.problem(defaultSection, key, warning, Severity::Warning));
}

void checkConsoleSkin(const skin::Theme &theme, const QString &name, FileVerdicts &files,
                      Problems &problems)
{
    const skin::ThemeFile skin = skin::ThemeFile(theme.file(name)).frozen();
    if (!reads(skin))
        return;
    checkBackGround(skin, problems);
    checkLayout(theme, skin, defaultSection, consoleWindowSizes(name), files, problems);
    const QString startup = QStringLiteral("StartupSound");
    files.sound(skin.text(defaultSection, startup, QString()),
                [&] { return skin.problem(defaultSection, startup, {}, Severity::Error); });
}

// "Animated" and "AnimDelay" of the progressive build: a value that does not convert is not read.
void checkProgressiveBuild(const skin::ThemeFile &shell, const QString &section, Problems &problems)
{
    const QString animated = QStringLiteral("Animated");
    if (const auto value = shell.text(section, animated); value && !skin::toBoolean(*value))
        problems.append(shell.problem(section, animated,
                                      QStringLiteral("\"%1\" is neither True nor False: it is "
                                                     "not read")
                                          .arg(*value),
                                      Severity::Error));
    const QString delay = QStringLiteral("AnimDelay");
    const auto value = shell.text(section, delay);
    if (!value)
        return;
    if (!skin::toWholeNumber(*value))
        problems.append(shell.problem(
            section, delay, QStringLiteral("\"%1\" holds no number: it is not read").arg(*value),
            Severity::Error));
    else if (const QString warning = numberWarning(QStringLiteral("the delay"), *value);
             !warning.isEmpty())
        problems.append(shell.problem(section, delay, warning, Severity::Warning));
}

// "SECURITY" of one skin: each entry names a button line of ten fields. Returns the numbers of
// the buttons it lists.
QSet<QString> checkSecurityList(const skin::ThemeFile &skin, Problems &problems)
{
    QSet<QString> numbers;
    forEachIndexEntry(
        skin, securitySection,
        [&](const QString &key, const QString &text) {
            const console::SecurityEntry entry = console::securityEntry(text);
            numbers.insert(entry.number);
            const skin::ButtonLine button = skin.buttonLine(entry.section, entry.number);
            QString message;
            if (button.fields().join(u',').isEmpty())
                message = QStringLiteral("names button %1 of [%2], which the skin does not have")
                              .arg(entry.number, entry.section);
            else if (!button.isComplete())
                message = QStringLiteral("button %1 of [%2] has %3 fields, needs 10")
                              .arg(entry.number, entry.section)
                              .arg(button.fields().size());
            if (!message.isEmpty())
                problems.append(skin.problem(securitySection, key, message, Severity::Error));
        },
        problems);
    return numbers;
}

// A name ends at its first blank: "Screen Saver: the saver" names the switch "Screen".
QString blankInSwitchName(const skin::ThemeFile &shell, const QString &entry)
{
    const QString read = console::switchKey(entry);
    const qsizetype colon = entry.indexOf(u':');
    if (read.isEmpty() || entry.section(u' ', 0, 0).endsWith(u':') || colon < 0)
        return {};
    const QString meant = entry.left(colon).trimmed();
    if (!meant.contains(u' ') ||
        (shell.text(defaultSection, read) && !shell.text(defaultSection, meant)))
        return {};
    return QStringLiteral("the switch name \"%1\" holds a blank, where a name ends: the console "
                          "shows and flips \"%2\"")
        .arg(meant, read);
}

void checkSwitches(const skin::ThemeFile &shell, Problems &problems)
{
    const QString global = QStringLiteral("GLOBAL");
    forEachIndexEntry(
        shell, global,
        [&](const QString &key, const QString &text) {
            if (const QString blank = blankInSwitchName(shell, text); !blank.isEmpty()) {
                problems.append(shell.problem(global, key, blank, Severity::Error));
                return;
            }
            const QString name = console::switchKey(text);
            if (name.isEmpty() || !shell.text(defaultSection, name))
                problems.append(shell.problem(
                    global, key, QStringLiteral("switch \"%1\" has no key in [DEFAULT]").arg(name),
                    Severity::Warning));
        },
        problems);
}

// A voice command is kept under the skin's header and the button's number: one the console's
// list never shows is never heard.
void checkVoiceCommands(const skin::Theme &theme, const QHash<QString, QSet<QString>> &listed,
                        Problems &problems)
{
    for (const skin::ThemeFile &file :
         {theme.voiceFile().frozen(),
          skin::ThemeFile(theme.file(QStringLiteral("voicecontrol.master"))).frozen()}) {
        for (const QString &header : sectionsRead(file)) {
            const QSet<QString> buttons = listed.value(header.toUpper());
            for (const QString &number : file.keys(header))
                if (!buttons.contains(number))
                    problems.append(file.problem(
                        header, number,
                        QStringLiteral("voice command for button %1 of %2.skn, which its "
                                       "SECURITY list does not have")
                            .arg(number, header),
                        Severity::Warning));
        }
    }
}

// An override file's keys each replace one of its skin file's; one its skin file does not
// have is never read.
void checkOverrides(const skin::ThemeFile &skin, Problems &problems)
{
    const skin::ThemeFile overrides = skin.overrideFile();
    for (const QString &section : sectionsRead(overrides)) {
        for (const QString &key : overrides.keys(section)) {
            // A name for screen readers ("42.Name") is read from the override file first: it
            // needs no key of the skin's to replace.
            if (skin.text(section, key) ||
                key.endsWith(QStringLiteral(".Name"), Qt::CaseInsensitive))
                continue;
            problems.append(
                overrides.problem(section, key,
                                  QStringLiteral("overrides nothing: %1 has no such key, so this "
                                                 "line is never read")
                                      .arg(QDir(platform::nativePath(skin.path())).dirName()),
                                  Severity::Error));
        }
    }
}

// The INI files of the folder, each checked as a file: every skin, every override file beside a
// skin, the voice commands.
void checkIniFiles(const skin::Theme &theme, const QStringList &entries, Problems &problems)
{
    for (const QString &name : entries) {
        const bool ini = hasSuffix(name, u".skn") || hasSuffix(name, u".ini") ||
                         name.compare(u"voicecontrol.master", Qt::CaseInsensitive) == 0;
        if (ini)
            checkIniFile(skin::ThemeFile(theme.file(name)).frozen(), problems);
    }
}

} // namespace

QString shownFromProgram(QString text, const QString &programDir)
{
    const QRegularExpression path(QRegularExpression::escape(programDir) +
                                  QStringLiteral("[\\\\/][^\\s,()]*"));
    QRegularExpressionMatch match;
    qsizetype from = 0;
    while ((match = path.match(text, from)).hasMatch()) {
        QString relative = match.captured().mid(programDir.size() + 1);
        relative.replace(u'\\', u'/');
        text.replace(match.capturedStart(), match.capturedLength(), relative);
        from = match.capturedStart() + relative.size();
    }
    return text;
}

QString report(const Problems &problems, const QString &programDir, const QString &themeName)
{
    QString text;
    int errors = 0;
    for (const skin::SkinProblem &problem : problems) {
        text += shownFromProgram(problem.text(), programDir) + u'\n';
        errors += problem.severity == Severity::Error;
    }
    return text + QStringLiteral("%1 error(s), %2 warning(s) in Themes/%3\n")
                      .arg(errors)
                      .arg(problems.size() - errors)
                      .arg(themeName);
}

Problems checkTheme(const skin::Theme &theme)
{
    Problems problems;
    FileVerdicts files(theme, problems);
    const QStringList entries = folderEntries(theme);
    checkFilesPresent(theme, problems);
    checkIniFiles(theme, entries, problems);
    QStringList skins;
    for (const QString &name : entries)
        if (hasSuffix(name, u".skn") &&
            platform::whyNotAFile(platform::nativePath(theme.file(name))).isEmpty())
            skins.append(name);
    for (const QString &name : skins)
        if (isConsoleSkin(name))
            checkConsoleSkin(theme, name, files, problems);

    const skin::ThemeFile shell = theme.shellSkin().frozen();
    if (reads(shell))
        checkDialog(theme, shell, QStringLiteral("INPUT"), {QStringLiteral("InputBox")}, files,
                    problems);
    if (const skin::ThemeFile select = theme.selectSkin().frozen(); reads(select))
        checkDialog(theme, select, QStringLiteral("SELECT"),
                    {QStringLiteral("Dirlist"), QStringLiteral("Filelist"),
                     QStringLiteral("Drivelist"), QStringLiteral("InputBox"),
                     QStringLiteral("ArgBox")},
                    files, problems);
    for (const QString &key : {QStringLiteral("PassStartSound"), QStringLiteral("PassOkSound"),
                               QStringLiteral("PassFailSound")})
        files.sound(shell.text(defaultSection, key, QString()),
                    [&] { return shell.problem(defaultSection, key, {}, Severity::Error); });
    for (const QString &section : {defaultSection, QStringLiteral("STARTUP")})
        checkProgressiveBuild(shell, section, problems);

    QHash<QString, QSet<QString>> listed;
    for (const QString &name : skins) {
        const skin::ThemeFile skin = skin::ThemeFile(theme.file(name)).frozen();
        listed.insert(name.chopped(4).toUpper(), checkSecurityList(skin, problems));
        checkOverrides(skin, problems);
    }
    checkSwitches(shell, problems);
    checkVoiceCommands(theme, listed, problems);
    files.finish();
    return problems;
}

} // namespace check
