#include "theme_check.h"

#include "console/settings_entries.h"
#include "platform/native_path.h"
#include "skin/box_description.h"
#include "skin/layout_line.h"
#include "skin/shape_window.h"
#include "skin/theme.h"
#include "skin/value_forms.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace check {
namespace {

using Severity = skin::SkinProblem::Severity;

const QString defaultSection = QStringLiteral("DEFAULT");
const QString securitySection = QStringLiteral("SECURITY");

// The skin files of the theme folder, by their names on disk.
QStringList skinFileNames(const skin::Theme &theme)
{
    const QDir folder(platform::nativePath(theme.folder()));
    QStringList names;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        if (name.endsWith(u".skn", Qt::CaseInsensitive))
            names.append(name);
    return names;
}

// The console skins: "Security.skn" and every screen-width variant ("Security1280.skn").
bool isConsoleSkin(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^security\\d*\\.skn$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
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

void checkConsoleSkin(const skin::Theme &theme, const skin::ThemeFile &skin, Problems &problems)
{
    checkLayout(theme, skin, defaultSection, std::nullopt, problems);
    const QString startup = QStringLiteral("StartupSound");
    checkSound(theme, skin.text(defaultSection, startup, QString()),
               skin.problem(defaultSection, startup, {}, Severity::Error), problems);
}

QString outsideMessage(const QRect &box, const QSize &window)
{
    return QStringLiteral("the box at %1,%2 (%3 x %4) lies outside the %5 x %6 window")
        .arg(box.x())
        .arg(box.y())
        .arg(box.width())
        .arg(box.height())
        .arg(window.width())
        .arg(window.height());
}

// A picture the mask colour leaves whole would show the dialog as a plain rectangle.
bool maskCuts(const QImage &picture, quint32 mask)
{
    const QImage outline = shapeMask(picture, mask);
    for (int y = 0; y < outline.height(); ++y)
        for (int x = 0; x < outline.width(); ++x)
            if (outline.pixelIndex(x, y) == 0)
                return true;
    return false;
}

// A dialog's background gives the window's size and outline: the size, when it loads.
std::optional<QSize> checkBackground(const skin::Theme &theme, const skin::ThemeFile &skin,
                                     const QString &section, Problems &problems)
{
    const QString backgroundKey = QStringLiteral("BackGround");
    const std::optional<QString> background = skin.text(section, backgroundKey);
    if (!background) {
        problems.append(skin.problem(section, {},
                                     QStringLiteral("no background picture; the window stays "
                                                    "rectangular"),
                                     Severity::Warning));
        return std::nullopt;
    }
    QString error;
    const QString path = theme.file(*background);
    const QImage picture = readPicture(platform::nativePath(path), &error);
    if (picture.isNull()) {
        problems.append(skin.problem(section, backgroundKey,
                                     QStringLiteral("background %1 does not load (%2); the "
                                                    "window stays rectangular")
                                         .arg(path, error),
                                     Severity::Error));
        return std::nullopt;
    }
    const QString maskKey = QStringLiteral("MaskColor");
    if (!maskCuts(picture, skin.maskColour(section, maskKey, 0)))
        problems.append(skin.problem(
            section, skin.lineOf(section, maskKey) ? maskKey : QString(),
            QStringLiteral("the mask colour occurs in no pixel of %1").arg(*background),
            Severity::Warning));
    return picture.size();
}

// A dialog: its boxes and layout lines lie in the window its background gives.
void checkDialog(const skin::Theme &theme, const skin::ThemeFile &skin, const QString &section,
                 const QStringList &boxKeys, Problems &problems)
{
    const std::optional<QSize> window = checkBackground(theme, skin, section, problems);
    for (const QString &key : boxKeys) {
        const skin::BoxDescription box = skin.box(section, key);
        if (!window || !box.left || !box.top || !box.width || !box.height)
            continue;
        const QRect rect(*box.left, *box.top, *box.width, *box.height);
        if (!rect.isEmpty() && !QRect(QPoint(0, 0), *window).contains(rect))
            problems.append(
                skin.problem(section, key, outsideMessage(rect, *window), Severity::Warning));
    }
    checkLayout(theme, skin, section, window, problems);
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

void checkSwitches(const skin::ThemeFile &shell, Problems &problems)
{
    const QString global = QStringLiteral("GLOBAL");
    forEachIndexEntry(
        shell, global,
        [&](const QString &key, const QString &text) {
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
         {theme.voiceFile(), skin::ThemeFile(theme.file(QStringLiteral("voicecontrol.master")))}) {
        for (const QString &header : file.sections()) {
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

// An override file's keys each replace one of its skin file's; its lines are read where the
// skin's are.
void checkOverrides(const skin::ThemeFile &skin, Problems &problems)
{
    const skin::ThemeFile overrides = skin.overrideFile();
    for (const QString &section : overrides.sections()) {
        for (const QString &key : overrides.keys(section)) {
            // A name for screen readers ("42.Name") is read from the override file first: it
            // needs no key of the skin's to replace.
            if (skin.text(section, key) ||
                key.endsWith(QStringLiteral(".Name"), Qt::CaseInsensitive))
                continue;
            problems.append(
                overrides.problem(section, key,
                                  QStringLiteral("overrides nothing: %1 has no such key")
                                      .arg(QDir(platform::nativePath(skin.path())).dirName()),
                                  Severity::Warning));
        }
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
    const QStringList names = skinFileNames(theme);
    for (const QString &name : names)
        if (isConsoleSkin(name))
            checkConsoleSkin(theme, skin::ThemeFile(theme.file(name)), problems);

    const skin::ThemeFile shell = theme.shellSkin();
    checkDialog(theme, shell, QStringLiteral("INPUT"), {QStringLiteral("InputBox")}, problems);
    checkDialog(theme, theme.selectSkin(), QStringLiteral("SELECT"),
                {QStringLiteral("Dirlist"), QStringLiteral("Filelist"), QStringLiteral("Drivelist"),
                 QStringLiteral("InputBox"), QStringLiteral("ArgBox")},
                problems);
    for (const QString &key : {QStringLiteral("PassStartSound"), QStringLiteral("PassOkSound"),
                               QStringLiteral("PassFailSound")})
        checkSound(theme, shell.text(defaultSection, key, QString()),
                   shell.problem(defaultSection, key, {}, Severity::Error), problems);

    QHash<QString, QSet<QString>> listed;
    for (const QString &name : names) {
        const skin::ThemeFile skin(theme.file(name));
        listed.insert(name.chopped(4).toUpper(), checkSecurityList(skin, problems));
        checkOverrides(skin, problems);
    }
    checkSwitches(shell, problems);
    checkVoiceCommands(theme, listed, problems);
    return problems;
}

} // namespace check
