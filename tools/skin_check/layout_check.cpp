#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "skin/animations.h"
#include "skin/gif_animation.h"
#include "skin/hover_tracking.h"
#include "skin/layout_line.h"
#include "skin/picture_file.h"
#include "skin/theme.h"
#include "sound/sound_decoder.h"
#include "theme_check.h"

#include <QFile>
#include <QSet>

#include <algorithm>

namespace check {
namespace {

using Severity = skin::SkinProblem::Severity;

// One layout section's walk: the indexes its lines claim and the window they lie in.
class LayoutCheck
{
public:
    LayoutCheck(const skin::Theme &theme, const skin::ThemeFile &skinFile, const QString &section,
                std::optional<QSize> window, Problems &problems)
        : m_theme(theme)
        , m_file(skinFile)
        , m_section(section)
        , m_window(window)
        , m_problems(problems)
    {}

    // The number of the first missing key: the section's end.
    int run()
    {
        int n = 1;
        for (; const std::optional<QString> line = m_file.layoutLine(m_section, n); ++n) {
            m_line = n;
            std::visit([this](const auto &parsed) { checkLine(parsed); },
                       skin::parseLayoutLine(*line));
        }
        return n;
    }

private:
    skin::SkinProblem at(Severity severity, const QString &message = {}) const
    {
        return m_file.layoutProblem(m_section, m_line, message, severity);
    }

    void add(Severity severity, const QString &message)
    {
        m_problems.append(at(severity, message));
    }

    void checkLine(const skin::NotLaidOut &line) { add(Severity::Error, line.detail); }

    void checkLine(const skin::TextElementLine &line)
    {
        const bool isList = line.kind == skin::TextElementLine::Kind::List;
        const QString set = isList ? QStringLiteral("lstBox") : QStringLiteral("lblInfo");
        if (!claim(set, line.index))
            return;
        checkPlace(line.geometry, skin::EdgeRule::NotPositive);
    }

    void checkLine(const skin::PictureLine &line)
    {
        const skin::LoadedPicture loaded = skin::loadPicture(
            line.isThemePicture ? m_theme.previewPicture() : m_theme.file(line.name));
        // The theme picture stays to show other themes' previews, so a missing one loses nothing.
        if (!loaded.error.isEmpty())
            add(line.isThemePicture ? Severity::Warning : Severity::Error, loaded.error);
        checkPlace(line.geometry, skin::EdgeRule::NotPositive);
    }

    void checkLine(const skin::ImageButtonLine &line)
    {
        const QString picture = m_theme.file(line.name);
        const skin::LoadedPicture loaded = skin::loadPicture(picture);
        if (!loaded.error.isEmpty()) {
            add(Severity::Error, loaded.error);
            return;
        }
        const skin::LoadedPicture over = skin::loadPicture(skin::overPicturePath(picture));
        if (!over.error.isEmpty())
            add(Severity::Warning, QStringLiteral("over ") + over.error);
        checkSound(m_theme, line.button.overSound(), at(Severity::Error), m_problems);
        checkSound(m_theme, line.button.clickSound(), at(Severity::Error), m_problems);
        checkPlace(line.geometry, skin::EdgeRule::Negative);
    }

    void checkLine(const skin::AnimationLine &line)
    {
        const QRect rect = checkPlace(line.geometry, skin::EdgeRule::Negative);
        const QString path = m_theme.file(line.name);
        const QString diskPath = platform::nativePath(path);
        QFile file(diskPath);
        if (platform::isSpecialFile(diskPath) || !file.open(QIODevice::ReadOnly)) {
            add(Severity::Error,
                QStringLiteral("animation %1 does not read (%2)").arg(path, file.errorString()));
            return;
        }
        skin::GifFrameReader reader(file.readAll());
        // Frames are held at the element's size, as the console holds them; in a window whose
        // size only the screen decides, that size is known when no edge measures it.
        QSize bound = rect.size();
        if (!m_window && line.geometry.width.number >= 0 && line.geometry.height.number >= 0)
            bound = skin::placeElement(line.geometry, skin::EdgeRule::Negative, 0, 0).size();
        else if (!m_window)
            bound = QSize();
        qsizetype held = 0;
        int frames = 0;
        QString early;
        while (std::optional<skin::GifFrame> frame = reader.next(bound)) {
            held += frame->image.sizeInBytes();
            if (held > skin::animationBytesCap) {
                early = skin::animationCapReached();
                break;
            }
            ++frames;
        }
        if (early.isEmpty())
            early = reader.error();
        if (frames == 0)
            add(Severity::Error, skin::animationNotLoaded(path, early));
        else if (!early.isEmpty())
            add(Severity::Warning, skin::animationEndsEarly(path, frames, early));
    }

    bool claim(const QString &set, int index)
    {
        const QString element = set + QString::number(index);
        if (m_claimed.contains(element)) {
            add(Severity::Error, skin::indexTakenMessage(set, index));
            return false;
        }
        m_claimed.insert(element);
        return true;
    }

    QRect checkPlace(const skin::LineGeometry &geometry, skin::EdgeRule rule)
    {
        if (!m_window)
            return {};
        const QRect inside(QPoint(0, 0), *m_window);
        const QRect rect =
            skin::placeElement(geometry, rule, m_window->width(), m_window->height());
        if (!rect.isEmpty() && !inside.contains(rect))
            add(Severity::Warning, QStringLiteral("the element at %1,%2 (%3 x %4) lies outside the "
                                                  "%5 x %6 window")
                                       .arg(rect.x())
                                       .arg(rect.y())
                                       .arg(rect.width())
                                       .arg(rect.height())
                                       .arg(m_window->width())
                                       .arg(m_window->height()));
        return rect;
    }

    const skin::Theme &m_theme;
    const skin::ThemeFile &m_file;
    const QString &m_section;
    const std::optional<QSize> m_window;
    Problems &m_problems;
    int m_line = 0;
    QSet<QString> m_claimed;
};

bool isIndexKey(const QString &key)
{
    return !key.isEmpty() &&
           std::all_of(key.begin(), key.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

void checkLayout(const skin::Theme &theme, const skin::ThemeFile &skinFile, const QString &section,
                 std::optional<QSize> window, Problems &problems)
{
    const int end = LayoutCheck(theme, skinFile, section, window, problems).run();
    checkGap(skinFile, section, end, problems);
}

void checkSound(const skin::Theme &theme, const QString &name, const skin::SkinProblem &where,
                Problems &problems)
{
    if (name.isEmpty())
        return;
    QString why;
    if (!sound::decodeSoundOrExplain(platform::nativePath(theme.soundFile(name)), &why)) {
        skin::SkinProblem problem = where;
        problem.message = why;
        problems.append(problem);
    }
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
                             Severity::Warning));
    }
}

} // namespace check
