#include "skin/layout_window.h"

#include "skin/animations.h"
#include "skin/hover_tracking.h"
#include "skin/image_button.h"
#include "skin/layout_line.h"
#include "skin/picture_file.h"
#include "skin/skin_problem.h"
#include "skin/skinned_window.h"
#include "skin/stretched_picture.h"
#include "skin/theme.h"
#include "skin/themed_scroll_bars.h"

#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>

#include <optional>

namespace {

void applyTextLook(QWidget &widget, const skin::TextElementLine &line)
{
    QPalette palette = widget.palette();
    const QColor back = colorFromValue(line.backColour);
    const QColor text = colorFromValue(line.textColour);
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window})
        palette.setColor(role, back);
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
        palette.setColor(role, text);
    widget.setPalette(palette);

    QFont font = widget.font();
    if (!line.fontName.isEmpty())
        font.setFamily(line.fontName);
    if (line.fontSize && *line.fontSize > 0)
        font.setPointSizeF(*line.fontSize);
    widget.setFont(font);
    if (auto *list = qobject_cast<QListWidget *>(&widget))
        skin::themeScrollBars(*list, back, text);
}

// Builds the element of one line. Each kind first checks everything that can fail, so that a
// skipped line leaves neither an element nor a table entry behind.
class LineBuilder
{
public:
    LineBuilder(SkinnedWindow &window, const skin::Theme &theme, ButtonTable &buttons,
                AnimationTable &animations, const skin::ThemeFile &skinFile, const QString &section)
        : m_window(window)
        , m_theme(theme)
        , m_buttons(buttons)
        , m_animations(animations)
        , m_skinFile(skinFile)
        , m_section(section)
    {}

    // The element the line created (nullptr for a line that creates none), or std::nullopt
    // when the line was skipped; the warning has then been given.
    std::optional<QWidget *> build(int n, const QString &text)
    {
        m_line = n;
        m_placed = nullptr;
        const bool built = std::visit([this](const auto &line) { return buildLine(line); },
                                      skin::parseLayoutLine(text));
        if (!built)
            return std::nullopt;
        return m_placed;
    }

private:
    // The line creates nothing: an error of the theme.
    bool skip(const QString &reason) const
    {
        report(reason, skin::SkinProblem::Severity::Error);
        return false;
    }

    void report(const QString &message, skin::SkinProblem::Severity severity) const
    {
        skin::reportSkinProblem(m_skinFile.layoutProblem(m_section, m_line, message, severity));
    }

    void place(QWidget &element, const skin::LineGeometry &geometry, skin::EdgeRule rule)
    {
        element.setGeometry(
            skin::placeElement(geometry, rule, m_window.ScaleWidth(), m_window.ScaleHeight()));
        m_placed = &element;
    }

    bool buildLine(const skin::NotLaidOut &line) const { return skip(line.detail); }

    bool buildLine(const skin::TextElementLine &line)
    {
        const bool isList = line.kind == skin::TextElementLine::Kind::List;
        QWidget *element = nullptr;
        if (isList) {
            QListWidget *list = m_window.addListBox(line.index);
            if (list)
                list->clear();
            element = list;
        } else {
            QLabel *label = m_window.addLabel(line.index);
            if (label)
                label->clear();
            element = label;
        }
        QHash<int, Claim> &claims = isList ? m_listClaims : m_labelClaims;
        if (!element) {
            const auto first = claims.constFind(line.index);
            if (first == claims.constEnd())
                return skip(skin::indexTakenMessage(
                    isList ? QStringLiteral("lstBox") : QStringLiteral("lblInfo"), line.index));
            return skip(skin::elementTakenMessage(line, first->line, first->name));
        }
        claims.insert(line.index, {m_line, line.name});
        place(*element, line.geometry, skin::EdgeRule::NotPositive);
        applyTextLook(*element, line);
        element->setEnabled(true);
        element->show();
        return true;
    }

    bool buildLine(const skin::PictureLine &line)
    {
        const int index = m_pictureCount + 1;
        ProgramState &state = programState();
        const QString path =
            line.isThemePicture ? m_theme.previewPicture() : m_theme.file(line.name);
        const skin::LoadedPicture loaded = skin::loadPicture(path);
        // The theme picture is also where other themes' previews are shown later, so it stays
        // even when the current theme has no preview.
        if (!loaded.error.isEmpty() && !line.isThemePicture)
            return skip(loaded.error);
        if (!loaded.error.isEmpty())
            report(loaded.error, skin::SkinProblem::Severity::Warning);

        StretchedPicture *picture = m_window.addPicture(index);
        if (!picture)
            return skip(skin::indexTakenMessage(QStringLiteral("imgPic"), index));
        m_pictureCount = index;
        place(*picture, line.geometry, skin::EdgeRule::NotPositive);
        picture->setPicture(loaded.pixmap);
        // A picture the theme does not name is decoration, which a screen reader passes over.
        picture->setAccessibleName(themeName());
        if (line.isThemePicture) {
            state.ThemePictureIndex = index;
            state.ThemeName = m_theme.name();
            picture->setAccessibleName(state.ThemeName);
        }
        picture->show();
        return true;
    }

    bool buildLine(const skin::ImageButtonLine &line)
    {
        const int index = m_buttons.count + 1;
        const QString path = m_theme.file(line.name);
        const skin::LoadedPicture loaded = skin::loadPicture(path);
        if (!loaded.error.isEmpty())
            return skip(loaded.error);

        ImageButton *button = m_window.addImageButton(index);
        if (!button)
            return skip(skin::indexTakenMessage(QStringLiteral("imgBut"), index));
        m_buttons.add({path, line.button.command(), line.button.clickSound(),
                       line.button.overSound(), m_line});
        place(*button, line.geometry, skin::EdgeRule::Negative);
        button->setPicture(loaded.pixmap);
        button->setFocusPicturePath(skin::overPicturePath(path));
        button->setAccessibleName(buttonName(line.button.command()));
        button->show();
        return true;
    }

    // The theme's own name for the element of this line ("01.Name=" beside "01="); empty when
    // it gives none.
    QString themeName() const { return m_skinFile.elementName(m_section, skin::layoutKey(m_line)); }

    // The theme's name for the button, else the window's words for its command.
    QString buttonName(const QString &command) const
    {
        const QString name = themeName();
        return name.isEmpty() ? m_window.commandName(command) : name;
    }

    bool buildLine(const skin::AnimationLine &line)
    {
        QString problem;
        QWidget *firstFrame =
            skin::layOutAnimation(m_window, m_theme, line, m_animations, &problem);
        if (!firstFrame)
            return skip(problem);
        // A file that breaks off still animates the frames before the break.
        if (!problem.isEmpty())
            report(problem, skin::SkinProblem::Severity::Warning);
        // An animation is one picture to a screen reader, named as any picture is.
        firstFrame->setAccessibleName(themeName());
        m_placed = firstFrame;
        return true;
    }

    // The line that laid out a list or label, for the message when another claims it.
    struct Claim
    {
        int line = 0;
        QString name;
    };

    SkinnedWindow &m_window;
    const skin::Theme &m_theme;
    ButtonTable &m_buttons;
    AnimationTable &m_animations;
    const skin::ThemeFile &m_skinFile;
    const QString &m_section;
    int m_line = 0;
    int m_pictureCount = 0;
    QWidget *m_placed = nullptr;
    QHash<int, Claim> m_listClaims;
    QHash<int, Claim> m_labelClaims;
};

// Shows the elements laid out while the window's surface was hidden. Each element shown posts
// a repaint of its own, and Qt weighs every such repaint against each sibling above it: with
// thousands of elements that alone takes seconds. Hiding the surface again, while it is shown,
// marks its whole area to be painted anew; each element's own repaint then finds itself inside
// that area and costs nothing, and one paint draws them all.
void showHeldElements(SkinnedWindow &window)
{
    QWidget *surface = window.elementSurface();
    surface->show();
    surface->hide();
    surface->show();
}

} // namespace

LayoutOutcome LayoutWindow(SkinnedWindow &window, const skin::Theme &theme, const QString &section,
                           ButtonTable &buttons, AnimationTable &animations, bool animated,
                           qint32 animDelay, const skin::ThemeFile &skinFile)
{
    buttons.count = 0;
    animations.animationCount = 0;
    animations.frameCount = 0;
    animations.frameBytes = 0;

    LineBuilder builder(window, theme, buttons, animations, skinFile, section);
    // Without the progressive build nobody is meant to watch the window being assembled: the
    // elements appear together at the end. Qt's work for each element shown on a visible
    // window also grows with the number of elements already there.
    QWidget *surface = window.elementSurface();
    const bool hold = !animated && !surface->isHidden();
    if (hold)
        surface->hide();
    LayoutOutcome outcome;
    std::optional<QString> lastLine;
    for (int n = 1; !window.isQuitting(); ++n) {
        const std::optional<QString> line = skinFile.layoutLine(section, n);
        if (!line)
            break;
        programState().INIValue = *line;
        lastLine = line;

        ++outcome.lines;
        const std::optional<QWidget *> placed = builder.build(n, *line);
        if (!placed)
            ++outcome.skipped;

        if (animated)
            window.buildPause(animDelay);
        // The exit request came meanwhile: the window is being closed, not built.
        if (window.isQuitting())
            break;
        // The new element paints itself now: Qt may hold a repaint of the whole window back to
        // the next frame, which the progressive build must not wait for.
        if (!hold && placed && *placed)
            (*placed)->repaint();
        QCoreApplication::processEvents();
    }
    if (hold)
        showHeldElements(window);
    // The read that found the end of the section emptied the slot; it keeps the last line.
    if (lastLine)
        programState().INIValue = *lastLine;
    return outcome;
}
