#include "file_verdicts.h"
#include "skin/animation_budget.h"
#include "skin/layout_line.h"
#include "skin/theme.h"
#include "skin/value_forms.h"
#include "theme_check.h"
#include "value_check.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace check {
namespace {

using Severity = skin::SkinProblem::Severity;

QString sizeText(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

QString placeText(const QRect &rect)
{
    return QStringLiteral("%1,%2 (%3)").arg(rect.x()).arg(rect.y()).arg(sizeText(rect.size()));
}

bool outsideAcross(const QRect &rect, QSize window)
{
    return rect.right() < 0 || rect.left() >= window.width();
}

bool outsideDown(const QRect &rect, QSize window)
{
    return rect.bottom() < 0 || rect.top() >= window.height();
}

// The animations of a window that its frame cap ends after their first frame.
struct CappedAnimations
{
    int problem = -1;  // the warning, said on the first such line and worded at the end
    QString firstText; // what ends on that line
    int later = 0;     // animations after it that lose frames too
    int lastLine = 0;
};

// One layout section's walk: the lists and labels its lines claim, the window they lie in and
// the frames its animations hold.
class LayoutCheck
{
public:
    LayoutCheck(const skin::Theme &theme, const skin::ThemeFile &skinFile, const QString &section,
                const std::optional<WindowSizes> &window, FileVerdicts &files, Problems &problems)
        : m_theme(theme)
        , m_file(skinFile)
        , m_section(section)
        , m_window(window)
        , m_files(files)
        , m_problems(problems)
    {}

    // The number of the first missing key: the section's end.
    int run()
    {
        int n = 1;
        for (; const std::optional<QString> line = m_file.layoutLine(m_section, n); ++n) {
            m_line = n;
            m_text = *line;
            std::visit([this](const auto &parsed) { checkLine(parsed); },
                       skin::parseLayoutLine(*line));
        }
        wordCappedAnimations();
        return n;
    }

private:
    skin::SkinProblem at(Severity severity, const QString &message = {}) const
    {
        return m_file.layoutProblem(m_section, m_line, message, severity);
    }

    // Where a problem of a file this line names is said.
    Where here() const
    {
        return [this] { return at(Severity::Error); };
    }

    void add(Severity severity, const QString &message)
    {
        m_problems.append(at(severity, message));
    }

    // Fields 3 to 6 as written, and what they read otherwise than written. True when a number
    // lies beyond any window: where the element then lies says nothing more.
    bool checkGeometryText(QStringView kind, int fieldCount)
    {
        const QStringList fields = skin::fieldList(m_text, fieldCount).mid(2, 4);
        const QStringList warnings = geometryWarnings(kind, fields);
        for (const QString &warning : warnings)
            add(Severity::Warning, warning);
        return std::any_of(warnings.begin(), warnings.end(), [](const QString &warning) {
            return warning.contains(QStringLiteral("beyond any window"));
        });
    }

    void checkLine(const skin::NotLaidOut &line) { add(Severity::Error, line.detail); }

    void checkLine(const skin::TextElementLine &line)
    {
        if (!claim(line))
            return;
        const bool isList = line.kind == skin::TextElementLine::Kind::List;
        const bool beyond = checkGeometryText(isList ? u"L" : u"T", 14);
        const QStringList fields = skin::fieldList(m_text, 14);
        for (const auto &[what, first] : {std::pair(QStringLiteral("the back colour"), 6),
                                          std::pair(QStringLiteral("the text colour"), 9)}) {
            if (const QString warning = colourWarning(what, fields.mid(first, 3));
                !warning.isEmpty())
                add(Severity::Warning, warning);
        }
        if (!beyond)
            checkPlace(line.geometry, skin::EdgeRule::NotPositive);
    }

    void checkLine(const skin::PictureLine &line)
    {
        // The theme picture stays to show other themes' previews, so a missing one loses nothing.
        const QString path =
            line.isThemePicture ? m_theme.previewPicture() : m_theme.file(line.name);
        m_files.picture(path, here(), line.isThemePicture ? Severity::Warning : Severity::Error,
                        !line.isThemePicture);
        if (!checkGeometryText(u"P", 6))
            checkPlace(line.geometry, skin::EdgeRule::NotPositive);
    }

    void checkLine(const skin::ImageButtonLine &line)
    {
        const QString picture = m_theme.file(line.name);
        if (!m_files.picture(picture, here(), Severity::Error))
            return;
        m_files.overPicture(picture, here());
        m_files.sound(line.button.overSound(), here());
        m_files.sound(line.button.clickSound(), here());
        if (!checkGeometryText(u"B", 10))
            checkPlace(line.geometry, skin::EdgeRule::Negative);
    }

    void checkLine(const skin::AnimationLine &line)
    {
        const bool beyond = checkGeometryText(u"A", 6);
        const QRect rect = beyond ? QRect() : checkPlace(line.geometry, skin::EdgeRule::Negative);
        const QString path = m_theme.file(line.name);
        const GifVerdict &gif = m_files.animation(path, here());
        if (gif.frames == 0)
            return;
        // Frames are held at the element's size; where no window size is known, whole.
        const qsizetype frameBytes = gif.frameBytes(m_window ? rect.size() : QSize());
        m_budget.startAnimation(frameBytes);
        int held = 1;
        skin::AnimationBudget::Frame verdict = skin::AnimationBudget::Frame::Held;
        while (held < gif.frames &&
               (verdict = m_budget.takeFrame(frameBytes)) == skin::AnimationBudget::Frame::Held)
            ++held;
        if (held == gif.frames)
            return;
        if (verdict == skin::AnimationBudget::Frame::AnimationFull) {
            m_files.sayOnce(at(Severity::Warning,
                               skin::animationEndsEarly(path, held, skin::animationCapReached())));
        } else if (m_capped.problem < 0) {
            m_capped.problem = int(m_problems.size());
            m_capped.firstText =
                skin::animationEndsEarly(path, held, skin::windowAnimationCapReached());
            add(Severity::Warning, {});
        } else {
            ++m_capped.later;
            m_capped.lastLine = m_line;
        }
    }

    void wordCappedAnimations()
    {
        if (m_capped.problem < 0)
            return;
        QString message = m_capped.firstText;
        if (m_capped.later > 0)
            message += QStringLiteral(", so the %1 animations after it, to line %2, end after "
                                      "their first frame")
                           .arg(m_capped.later)
                           .arg(skin::layoutKey(m_capped.lastLine));
        m_problems[m_capped.problem].message = message;
    }

    bool claim(const skin::TextElementLine &line)
    {
        const bool isList = line.kind == skin::TextElementLine::Kind::List;
        const int key = (isList ? 0 : 100) + line.index;
        const auto first = m_claimed.constFind(key);
        if (first != m_claimed.constEnd()) {
            add(Severity::Error, skin::elementTakenMessage(line, first->first, first->second));
            return false;
        }
        m_claimed.insert(key, {m_line, line.name});
        return true;
    }

    // Where the element lies in the window; its rectangle in the largest window.
    QRect checkPlace(const skin::LineGeometry &geometry, skin::EdgeRule rule)
    {
        if (!m_window)
            return {};
        const QSize small = m_window->smallest;
        const QSize large = m_window->largest;
        const QRect inSmall = skin::placeElement(geometry, rule, small.width(), small.height());
        const QRect inLarge = skin::placeElement(geometry, rule, large.width(), large.height());
        if (inSmall.isEmpty() || QRect(QPoint(0, 0), small).contains(inSmall))
            return inLarge;
        const bool oneSize = small == large;
        const bool neverSeen = (outsideAcross(inSmall, small) && outsideAcross(inLarge, large)) ||
                               (outsideDown(inSmall, small) && outsideDown(inLarge, large));
        if (neverSeen && oneSize)
            add(Severity::Error, QStringLiteral("the element at %1 lies outside the %2 window: it "
                                                "is never seen")
                                     .arg(placeText(inSmall), sizeText(small)));
        else if (neverSeen)
            add(Severity::Error,
                QStringLiteral("the element at %1 on a %2 screen lies outside the console on "
                               "every screen up to %3: it is never seen")
                    .arg(placeText(inSmall), sizeText(small), sizeText(large)));
        else if (oneSize)
            add(Severity::Warning,
                QStringLiteral("the element at %1 lies partly outside the %2 window")
                    .arg(placeText(inSmall), sizeText(small)));
        else
            add(Severity::Warning,
                QStringLiteral("on a %1 screen the element at %2 lies partly outside the console")
                    .arg(sizeText(small), placeText(inSmall)));
        return inLarge;
    }

    const skin::Theme &m_theme;
    const skin::ThemeFile &m_file;
    const QString &m_section;
    const std::optional<WindowSizes> m_window;
    FileVerdicts &m_files;
    Problems &m_problems;
    int m_line = 0;
    QString m_text;
    QHash<int, std::pair<int, QString>> m_claimed; // list or label -> line and name that took it
    skin::AnimationBudget m_budget;
    CappedAnimations m_capped;
};

bool isIndexKey(const QString &key)
{
    return !key.isEmpty() &&
           std::all_of(key.begin(), key.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

WindowSizes consoleWindowSizes(const QString &fileName)
{
    static const QRegularExpression width(QStringLiteral("(\\d+)\\.skn$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = width.match(fileName);
    const int pixels = match.hasMatch() ? match.captured(1).toInt() : 0;
    if (pixels <= 0 || pixels > 16384)
        return {QSize(1024, 768), QSize(3840, 2160)};
    return {QSize(pixels, pixels * 9 / 16), QSize(pixels, pixels * 4 / 5)};
}

void checkLayout(const skin::Theme &theme, const skin::ThemeFile &skinFile, const QString &section,
                 const std::optional<WindowSizes> &window, FileVerdicts &files, Problems &problems)
{
    const int end = LayoutCheck(theme, skinFile, section, window, files, problems).run();
    checkGap(skinFile, section, end, problems);
}

void checkGap(const skin::ThemeFile &file, const QString &section, int firstMissing,
              Problems &problems)
{
    for (const QString &key : file.keys(section)) {
        if (isIndexKey(key) && key.toInt() > firstMissing)
            problems.append(
                file.problem(section, key,
                             QStringLiteral("never read: the section ends at the missing key %1")
                                 .arg(skin::layoutKey(firstMissing)),
                             Severity::Error));
    }
}

} // namespace check
