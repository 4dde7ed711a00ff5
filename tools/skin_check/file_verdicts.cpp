#include "file_verdicts.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "skin/animations.h"
#include "skin/gif_animation.h"
#include "skin/hover_tracking.h"
#include "skin/picture_file.h"
#include "skin/theme.h"
#include "sound/sound_decoder.h"

#include <QDir>
#include <QFile>

namespace check {

using Severity = skin::SkinProblem::Severity;

qsizetype GifVerdict::frameBytes(QSize bound) const
{
    const QSize size = bound.isValid() ? screen.boundedTo(bound).expandedTo({1, 1}) : screen;
    return qsizetype((qsizetype(size.width()) * depth + 31) / 32) * 4 * size.height();
}

namespace {

// Every frame of a GIF decoded once, only to count them: none is kept.
GifVerdict decodeAnimation(const QString &path)
{
    GifVerdict verdict;
    const QString diskPath = platform::nativePath(path);
    QFile file(diskPath);
    if (const QString why = platform::whyNotAFile(diskPath); !why.isEmpty()) {
        verdict.error = QStringLiteral("animation %1 %2").arg(path, why);
        return verdict;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        verdict.error =
            QStringLiteral("animation %1 does not read (%2)").arg(path, file.errorString());
        return verdict;
    }
    const QByteArray bytes = file.readAll();
    skin::GifFrameReader reader(bytes);
    if (std::optional<skin::GifFrame> first = reader.next()) {
        verdict.frames = 1;
        verdict.screen = first->image.size();
        verdict.depth = first->image.depth();
    }
    while (verdict.frames > 0 && reader.next(QSize(1, 1)))
        ++verdict.frames;
    if (verdict.frames == 0) {
        verdict.error = skin::animationNotLoaded(path, reader.error());
        return verdict;
    }
    verdict.early = reader.error();
    // A file cut short plays the frames that are whole and says nothing.
    if (verdict.early.isEmpty() && !skin::walkGif(bytes).complete)
        verdict.early = QStringLiteral("the file breaks off before its end");
    return verdict;
}

} // namespace

FileVerdicts::FileVerdicts(const skin::Theme &theme, Problems &problems)
    : m_theme(theme)
    , m_problems(problems)
{}

bool FileVerdicts::seenAgain(const QString &key)
{
    const auto loads = m_loads.constFind(key);
    if (loads == m_loads.constEnd())
        return false;
    for (const int index : m_said.value(key))
        ++m_lines[index];
    return true;
}

void FileVerdicts::say(const QString &key, const Where &where, Severity severity,
                       const QString &message)
{
    skin::SkinProblem problem = where();
    problem.severity = severity;
    problem.message = message;
    m_said[key].append(int(m_problems.size()));
    m_lines.insert(int(m_problems.size()), 1);
    m_problems.append(std::move(problem));
}

QString FileVerdicts::outsideTheme(const QString &storedPath) const
{
    const QString folder = QDir::cleanPath(platform::nativePath(m_theme.folder()));
    const QString file = QDir::cleanPath(platform::nativePath(storedPath));
    if (file.startsWith(folder + u'/'))
        return {};
    return QStringLiteral("%1 lies outside the theme folder, which is all a theme carries")
        .arg(storedPath);
}

bool FileVerdicts::picture(const QString &path, const Where &where, Severity severity,
                           bool ofTheTheme)
{
    const QString key = QStringLiteral("picture ") + path;
    if (seenAgain(key))
        return m_loads.value(key);
    if (const QString outside = ofTheTheme ? outsideTheme(path) : QString(); !outside.isEmpty())
        say(key, where, Severity::Warning, QStringLiteral("picture ") + outside);
    const skin::LoadedPicture loaded = skin::loadPicture(path);
    m_loads.insert(key, loaded.error.isEmpty());
    if (!loaded.error.isEmpty())
        say(key, where, severity, loaded.error);
    return loaded.error.isEmpty();
}

void FileVerdicts::overPicture(const QString &path, const Where &where)
{
    const QString over = skin::overPicturePath(path);
    const QString key = QStringLiteral("over ") + over;
    if (seenAgain(key))
        return;
    const skin::LoadedPicture loaded = skin::loadPicture(over);
    m_loads.insert(key, loaded.error.isEmpty());
    if (!loaded.error.isEmpty())
        say(key, where, Severity::Warning, QStringLiteral("over ") + loaded.error);
}

void FileVerdicts::sound(const QString &name, const Where &where)
{
    if (name.isEmpty())
        return;
    const QString path = m_theme.soundFile(name);
    const QString key = QStringLiteral("sound ") + path;
    if (seenAgain(key))
        return;
    if (const QString outside = outsideTheme(path); !outside.isEmpty())
        say(key, where, Severity::Warning, QStringLiteral("sound ") + outside);
    QString why;
    const bool plays = sound::decodeSoundOrExplain(platform::nativePath(path), &why) != nullptr;
    m_loads.insert(key, plays);
    if (!plays)
        say(key, where, Severity::Error, why);
}

const GifVerdict &FileVerdicts::animation(const QString &path, const Where &where)
{
    const QString key = QStringLiteral("animation ") + path;
    if (seenAgain(key))
        return m_animations[path];
    const GifVerdict &verdict = *m_animations.insert(path, decodeAnimation(path));
    m_loads.insert(key, verdict.error.isEmpty());
    if (!verdict.error.isEmpty())
        say(key, where, Severity::Error, verdict.error);
    else if (!verdict.early.isEmpty())
        say(key, where, Severity::Warning,
            skin::animationEndsEarly(path, verdict.frames, verdict.early));
    return verdict;
}

void FileVerdicts::sayOnce(const skin::SkinProblem &problem)
{
    const QString key = QStringLiteral("message ") + problem.message;
    if (seenAgain(key))
        return;
    m_loads.insert(key, false);
    say(
        key, [&problem] { return problem; }, problem.severity, problem.message);
}

void FileVerdicts::finish()
{
    for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it) {
        if (it.value() > 1)
            m_problems[it.key()].message += QStringLiteral("; %1 lines name it").arg(it.value());
    }
    m_lines.clear();
}

} // namespace check
